#include "surface/shrink.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VX_X86 1
#endif

namespace vx {

namespace {

constexpr uint32_t kWhole = 256; // the weight of a whole source pixel, or row

// Where source row i of n lands among m result rows (n >= m): it covers [i, i + 1), which is
// [i m / n, (i + 1) m / n) in result rows, so at most two of them; first gets `near` of it,
// first + 1 `far`, in 256ths of a row.
struct Spread {
    int first = 0;
    uint32_t near = 0, far = 0;
};

uint32_t weight(double share) {
    return static_cast<uint32_t>(std::lround(share * kWhole));
}

std::vector<Spread> spreads(int n, int m) {
    std::vector<Spread> out(static_cast<size_t>(n));
    const double step = static_cast<double>(m) / n;
    for (int i = 0; i < n; ++i) {
        const double a = i * step, b = (i + 1) * step;
        Spread& s = out[static_cast<size_t>(i)];
        s.first = std::min(static_cast<int>(std::floor(a)), m - 1);
        const double cut = std::min(b, static_cast<double>(s.first + 1));
        // A row's two shares are of one whole row: its weight is kWhole times step.
        s.near = weight((cut - a) / step);
        s.far = s.first + 1 < m ? kWhole - s.near : 0;
    }
    return out;
}

// The source columns result column x of m covers, of n (n >= m): first and last in part
// (their weights, in 256ths), those between whole; total is the sum of the weights.
struct Span {
    int first = 0, last = 0;
    uint32_t head = 0, tail = 0;
    uint64_t total = 0;
};

std::vector<Span> spans(int n, int m) {
    std::vector<Span> out(static_cast<size_t>(m));
    const double size = static_cast<double>(n) / m;
    for (int x = 0; x < m; ++x) {
        const double a = x * size, b = std::min((x + 1) * size, static_cast<double>(n));
        Span& s = out[static_cast<size_t>(x)];
        s.first = static_cast<int>(std::floor(a));
        s.last = std::max(s.first, std::min(n - 1, static_cast<int>(std::ceil(b)) - 1));
        s.head = weight(s.first == s.last ? b - a : s.first + 1 - a);
        s.tail = s.first == s.last ? 0 : weight(b - s.last);
        s.total = s.head + s.tail +
                  static_cast<uint64_t>(kWhole) * (s.last - s.first - (s.first < s.last));
    }
    return out;
}

// Adds w times each colour of the row to the column sums.
void addScalar(const uint32_t* row, uint32_t w, uint32_t* r, uint32_t* g, uint32_t* b, size_t from,
               size_t n) {
    for (size_t i = from; i < n; ++i) {
        const uint32_t v = row[i];
        r[i] += w * (v & 255u);
        g[i] += w * ((v >> 8) & 255u);
        b[i] += w * ((v >> 16) & 255u);
    }
}

#ifdef VX_X86
// A colour times a weight of at most 256 fits 16 bits: one 16-bit multiply a lane.
__attribute__((target("avx2"))) void addRowAvx2(const uint32_t* row, uint32_t w, uint32_t* r,
                                                uint32_t* g, uint32_t* b, size_t n) {
    const __m256i vw = _mm256_set1_epi32(static_cast<int>(w));
    const __m256i low = _mm256_set1_epi32(255);
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + i));
        const __m256i parts[3] = {_mm256_and_si256(v, low),
                                  _mm256_and_si256(_mm256_srli_epi32(v, 8), low),
                                  _mm256_and_si256(_mm256_srli_epi32(v, 16), low)};
        uint32_t* sums[3] = {r + i, g + i, b + i};
        for (int c = 0; c < 3; ++c) {
            __m256i* at = reinterpret_cast<__m256i*>(sums[c]);
            _mm256_storeu_si256(
                at, _mm256_add_epi32(_mm256_loadu_si256(at), _mm256_mullo_epi16(parts[c], vw)));
        }
    }
    addScalar(row, w, r, g, b, i, n);
}

void addRowSse2(const uint32_t* row, uint32_t w, uint32_t* r, uint32_t* g, uint32_t* b, size_t n) {
    const __m128i vw = _mm_set1_epi32(static_cast<int>(w));
    const __m128i low = _mm_set1_epi32(255);
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
        const __m128i parts[3] = {_mm_and_si128(v, low), _mm_and_si128(_mm_srli_epi32(v, 8), low),
                                  _mm_and_si128(_mm_srli_epi32(v, 16), low)};
        uint32_t* sums[3] = {r + i, g + i, b + i};
        for (int c = 0; c < 3; ++c) {
            __m128i* at = reinterpret_cast<__m128i*>(sums[c]);
            _mm_storeu_si128(at, _mm_add_epi32(_mm_loadu_si128(at), _mm_mullo_epi16(parts[c], vw)));
        }
    }
    addScalar(row, w, r, g, b, i, n);
}

const auto addRow = __builtin_cpu_supports("avx2") ? addRowAvx2 : addRowSse2;
#else
void addRow(const uint32_t* row, uint32_t w, uint32_t* r, uint32_t* g, uint32_t* b, size_t n) {
    addScalar(row, w, r, g, b, 0, n);
}
#endif

// Sums of red, green and blue down the columns, each row weighted.
struct Columns {
    explicit Columns(int n) : r(static_cast<size_t>(n)), g(r.size()), b(r.size()) {}
    void add(const uint32_t* row, uint32_t w) {
        addRow(row, w, r.data(), g.data(), b.data(), r.size());
        rows += w;
    }
    void clear() {
        std::fill(r.begin(), r.end(), 0u);
        std::fill(g.begin(), g.end(), 0u);
        std::fill(b.begin(), b.end(), 0u);
        rows = 0;
    }
    std::vector<uint32_t> r, g, b;
    uint64_t rows = 0; // the weights of the rows added
};

uint32_t channel(double v) {
    return static_cast<uint32_t>(std::min(255.0, v + 0.5));
}

void emitRow(Surface& out, int y, const Columns& c, const std::vector<Span>& cols) {
    const double perRow = 1.0 / static_cast<double>(std::max<uint64_t>(1, c.rows));
    for (int x = 0; x < out.width(); ++x) {
        const Span& s = cols[static_cast<size_t>(x)];
        const size_t f = static_cast<size_t>(s.first), l = static_cast<size_t>(s.last);
        uint64_t r = uint64_t{s.head} * c.r[f], g = uint64_t{s.head} * c.g[f],
                 b = uint64_t{s.head} * c.b[f];
        for (size_t i = f + 1; i < l; ++i)
            r += kWhole * uint64_t{c.r[i]}, g += kWhole * uint64_t{c.g[i]},
                b += kWhole * uint64_t{c.b[i]};
        if (l > f)
            r += uint64_t{s.tail} * c.r[l], g += uint64_t{s.tail} * c.g[l],
                b += uint64_t{s.tail} * c.b[l];
        const double scale = perRow / static_cast<double>(std::max<uint64_t>(1, s.total));
        out.setPixel(x, y,
                     static_cast<int32_t>(channel(static_cast<double>(r) * scale) |
                                          channel(static_cast<double>(g) * scale) << 8 |
                                          channel(static_cast<double>(b) * scale) << 16));
    }
}

} // namespace

Surface shrink(const Surface& src, int w, int h) {
    const int sw = src.width(), sh = src.height();
    if (sw <= 0 || sh <= 0) return Surface();
    w = std::clamp(w, 1, sw);
    h = std::clamp(h, 1, sh);
    Surface out(w, h);
    const std::vector<Span> cols = spans(sw, w);
    const std::vector<Spread> rows = spreads(sh, h);
    Columns now(sw), next(sw);
    int y = 0; // the result row `now` sums
    for (int i = 0; i < sh; ++i) {
        const Spread& r = rows[static_cast<size_t>(i)];
        // The source has passed result row y: it is whole.
        while (y < r.first) {
            emitRow(out, y++, now, cols);
            std::swap(now, next);
            next.clear();
        }
        if (r.near) now.add(src.rowData(i), r.near);
        if (r.far) next.add(src.rowData(i), r.far);
    }
    emitRow(out, y, now, cols);
    return out;
}

} // namespace vx
