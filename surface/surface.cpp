#include "surface/surface.hpp"

#include "surface/numeric.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VX_X86 1
#endif

namespace vx {

namespace {

constexpr uint32_t kColourMask = 0x00FFFFFFu;

// Fills from x while pixels are inside; returns the first x that is not.
int fillInsideScalar(uint32_t* row, int x, int end, uint32_t b, uint32_t fv) {
    while (x < end && (row[x] & kColourMask) != b && row[x] != fv) row[x++] = fv;
    return x;
}

#ifdef VX_X86
__attribute__((target("avx2"))) int fillInsideAvx2(uint32_t* row, int x, int end, uint32_t b,
                                                   uint32_t fv) {
    const __m256i vm = _mm256_set1_epi32(static_cast<int>(kColourMask));
    const __m256i vb = _mm256_set1_epi32(static_cast<int>(b));
    const __m256i vf = _mm256_set1_epi32(static_cast<int>(fv));
    while (x + 8 <= end) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + x));
        const __m256i stop = _mm256_or_si256(_mm256_cmpeq_epi32(_mm256_and_si256(v, vm), vb),
                                             _mm256_cmpeq_epi32(v, vf));
        const unsigned bits = static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(stop)));
        if (bits) {
            const int e = x + __builtin_ctz(bits);
            while (x < e) row[x++] = fv;
            return x;
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + x), vf);
        x += 8;
    }
    return fillInsideScalar(row, x, end, b, fv);
}

int fillInsideSse2(uint32_t* row, int x, int end, uint32_t b, uint32_t fv) {
    const __m128i vm = _mm_set1_epi32(static_cast<int>(kColourMask));
    const __m128i vb = _mm_set1_epi32(static_cast<int>(b));
    const __m128i vf = _mm_set1_epi32(static_cast<int>(fv));
    while (x + 4 <= end) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
        const __m128i stop =
            _mm_or_si128(_mm_cmpeq_epi32(_mm_and_si128(v, vm), vb), _mm_cmpeq_epi32(v, vf));
        const unsigned bits = static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(stop)));
        if (bits) {
            const int e = x + __builtin_ctz(bits);
            while (x < e) row[x++] = fv;
            return x;
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), vf);
        x += 4;
    }
    return fillInsideScalar(row, x, end, b, fv);
}

using FillFn = int (*)(uint32_t*, int, int, uint32_t, uint32_t);
const FillFn fillInside = __builtin_cpu_supports("avx2") ? fillInsideAvx2 : fillInsideSse2;
#else
constexpr auto fillInside = fillInsideScalar;
#endif

// First x in [x, end) whose colour is not a and whose masked colour is not c.
int findOtherScalar(const uint32_t* row, int x, int end, uint32_t a, uint32_t c, uint32_t m) {
    while (x < end && ((row[x] & kColourMask) == a || (row[x] & m) == c)) ++x;
    return x;
}

#ifdef VX_X86
__attribute__((target("avx2"))) int findOtherAvx2(const uint32_t* row, int x, int end, uint32_t a,
                                                  uint32_t c, uint32_t m) {
    const __m256i vm = _mm256_set1_epi32(static_cast<int>(kColourMask));
    const __m256i vmc = _mm256_set1_epi32(static_cast<int>(m));
    const __m256i va = _mm256_set1_epi32(static_cast<int>(a));
    const __m256i vc = _mm256_set1_epi32(static_cast<int>(c));
    while (x + 8 <= end) {
        const __m256i raw = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + x));
        const __m256i known = _mm256_or_si256(_mm256_cmpeq_epi32(_mm256_and_si256(raw, vm), va),
                                              _mm256_cmpeq_epi32(_mm256_and_si256(raw, vmc), vc));
        const unsigned bits =
            ~static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(known))) & 0xFFu;
        if (bits) return x + __builtin_ctz(bits);
        x += 8;
    }
    return findOtherScalar(row, x, end, a, c, m);
}
const auto findOther = __builtin_cpu_supports("avx2") ? findOtherAvx2 : findOtherScalar;
#else
constexpr auto findOther = findOtherScalar;
#endif

} // namespace

int32_t qbColor(int n) {
    static const int32_t table[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                      0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                      0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    return table[n & 15];
}

Surface::Surface(int w, int h, int32_t back) : back_(back & 0xFFFFFF) {
    w_ = std::max(0, w);
    h_ = std::max(0, h);
    px_.assign(static_cast<size_t>(w_) * h_, static_cast<uint32_t>(back_));
}

void Surface::resize(int w, int h) {
    w = std::max(0, w);
    h = std::max(0, h);
    if (w == w_ && h == h_) return;
    std::vector<uint32_t> n(static_cast<size_t>(w) * h, static_cast<uint32_t>(back_));
    const int cw = std::min(w, w_), ch = std::min(h, h_);
    for (int y = 0; y < ch; ++y)
        for (int x = 0; x < cw; ++x)
            n[static_cast<size_t>(y) * w + x] = px_[static_cast<size_t>(y) * w_ + x] & kMask;
    px_.swap(n);
    w_ = w;
    h_ = h;
    forgetTags();
}

int32_t Surface::point(double x, double y) const {
    return pixel(toInt32(x), toInt32(y));
}

void Surface::segment(double x1, double y1, double x2, double y2, int32_t colour) {
    // The start pixel, and the end pixel the same rounded distance away.
    const int ax = toInt32(x1), ay = toInt32(y1);
    const double ddx = x2 - x1, ddy = y2 - y1;
    if (!(std::isfinite(ddx) && std::isfinite(ddy))) return;
    const int bx = ax + toInt32(ddx), by = ay + toInt32(ddy);
    int dx = std::abs(bx - ax), dy = -std::abs(by - ay);
    const int sx = ax < bx ? 1 : -1, sy = ay < by ? 1 : -1;
    int err = dx + dy, x = ax, y = ay;
    // Bresenham; long lines far off the surface still end because both axes only approach.
    while (!(x == bx && y == by)) {
        setPixel(x, y, colour);
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, x += sx;
        if (e2 <= dx) err += dx, y += sy;
    }
}

namespace {
struct Rect {
    int x1, y1, x2, y2;
};
// Box corners to an ordered pixel rectangle; coordinates far off the surface are pinned so
// that the integer arithmetic cannot overflow.
Rect order(double x1, double y1, double x2, double y2) {
    auto pin = [](double v) { return toInt32(clampTo(std::isfinite(v) ? v : 0, -1e8, 1e8)); };
    Rect r{pin(x1), pin(y1), pin(x2), pin(y2)};
    if (r.x1 > r.x2) std::swap(r.x1, r.x2);
    if (r.y1 > r.y2) std::swap(r.y1, r.y2);
    return r;
}
} // namespace

void Surface::box(double x1, double y1, double x2, double y2, int32_t colour) {
    const Rect r = order(x1, y1, x2, y2);
    const uint32_t c = static_cast<uint32_t>(colour) & kMask;
    const int lx = std::max(r.x1, 0), rx = std::min(r.x2, w_ - 1);
    for (int y : {r.y1, r.y2})
        if (y >= 0 && y < h_ && lx <= rx)
            std::fill(px_.begin() + static_cast<size_t>(y) * w_ + lx,
                      px_.begin() + static_cast<size_t>(y) * w_ + rx + 1, c);
    const int ty = std::max(r.y1, 0), by = std::min(r.y2, h_ - 1);
    for (int x : {r.x1, r.x2})
        if (x >= 0 && x < w_)
            for (int y = ty; y <= by; ++y) px_[static_cast<size_t>(y) * w_ + x] = c;
}

void Surface::fillBox(double x1, double y1, double x2, double y2, int32_t colour) {
    const Rect r = order(x1, y1, x2, y2);
    const uint32_t c = static_cast<uint32_t>(colour) & kMask;
    const int lx = std::max(r.x1, 0), rx = std::min(r.x2, w_ - 1);
    const int ty = std::max(r.y1, 0), by = std::min(r.y2, h_ - 1);
    if (lx > rx) return;
    for (int y = ty; y <= by; ++y)
        std::fill(px_.begin() + static_cast<size_t>(y) * w_ + lx,
                  px_.begin() + static_cast<size_t>(y) * w_ + rx + 1, c);
}

void Surface::cls() {
    std::fill(px_.begin(), px_.end(), static_cast<uint32_t>(back_));
    forgetTags();
}

void Surface::setBackColor(int32_t colour) {
    back_ = colour & 0xFFFFFF;
    cls();
}

void Surface::wipeTags(int left, int top, int right, int bottom) {
    // Clearing a tag is always safe: no fill uses tag 0.
    left = std::max(left, 0), top = std::max(top, 0);
    right = std::min(right, w_ - 1), bottom = std::min(bottom, h_ - 1);
    for (int y = top; y <= bottom; ++y) {
        uint32_t* row = px_.data() + static_cast<size_t>(y) * w_;
        for (int x = left; x <= right; ++x) row[x] &= kMask;
    }
}

uint32_t Surface::nextTag(uint32_t colour) {
    // Filled pixels carry a tag in the top byte, so that pixels that already had the fill
    // colour are told apart from those this fill has reached. Tags count per colour: only a
    // stale pixel of the same colour and tag could be mistaken, so before a colour's tag comes
    // round again, the area its fills have touched is wiped. The cost follows the filled area.
    if (tags_.size() >= kMaxTaggedColours) {
        wipeTags(0, 0, w_ - 1, h_ - 1);
        tags_.clear();
    }
    ColourTags& t = tags_[colour];
    if (++t.tag > 255) {
        wipeTags(t.left, t.top, t.right, t.bottom);
        t = ColourTags{};
        t.tag = 1;
    }
    return t.tag << 24;
}

void Surface::forgetTags() {
    tags_.clear();
}

// Fills the inside pixels of a span's row that connect to the span, and queues the spans
// above and below them (and the overhangs back the way the span came) for the fill to visit.
// Inlined into the fill's loop, as it was written there.
[[gnu::always_inline]] inline Surface::RowFill
Surface::fillSpan(uint32_t* row, int w, const Span& s, uint32_t b, uint32_t fv) {
    auto inside = [b, fv](uint32_t p) { return (p & kMask) != b && p != fv; };
    int x1 = s.x1, x2 = s.x2;
    int xs = x1;
    RowFill r{false, std::max(0, x1), 0};
    if (inside(row[xs])) {
        while (xs > 0 && inside(row[xs - 1])) row[--xs] = fv;
        if (xs < x1) {
            r.any = true;
            r.left = xs;
            stack_.push_back({xs, x1 - 1, s.y - s.dy, -s.dy});
        }
    }
    while (x1 <= x2) {
        if (x1 < w && inside(row[x1])) {
            x1 = fillInside(row, x1, w, b, fv);
            r.any = true;
        }
        if (x1 > xs) {
            r.any = true;
            stack_.push_back({xs, x1 - 1, s.y + s.dy, s.dy});
            if (x1 - 1 > x2) stack_.push_back({x2 + 1, x1 - 1, s.y - s.dy, -s.dy});
        }
        ++x1;
        while (x1 < x2 && !inside(row[x1])) ++x1;
        xs = x1;
    }
    r.right = x1;
    return r;
}

int Surface::floodFill(int x, int y, int32_t border) {
    lastFill_ = 0;
    if (static_cast<unsigned>(x) >= static_cast<unsigned>(w_) ||
        static_cast<unsigned>(y) >= static_cast<unsigned>(h_))
        return 0;
    const uint32_t b = static_cast<uint32_t>(border) & kMask;
    if ((px_[static_cast<size_t>(y) * w_ + x] & kMask) == b) return 0;
    const uint32_t fv = fill_ | nextTag(fill_);
    uint32_t* const base = px_.data();
    const int w = w_, h = h_;
    int top = y, bottom = y, left = x, right = x;

    // Scanline fill from a stack of spans, each with the direction it came from.
    stack_.clear();
    stack_.push_back({x, x, y, 1});
    stack_.push_back({x, x, y - 1, -1});
    while (!stack_.empty()) {
        const Span s = stack_.back();
        stack_.pop_back();
        if (s.y < 0 || s.y >= h) continue;
        const RowFill r = fillSpan(base + static_cast<size_t>(s.y) * w, w, s, b, fv);
        if (r.any) {
            top = std::min(top, s.y);
            bottom = std::max(bottom, s.y);
            left = std::min(left, r.left);
            right = std::max(right, r.right);
        }
    }
    ColourTags& t = tags_[fill_];
    t.left = std::min(t.left, left);
    t.right = std::max(t.right, std::min(right, w - 1));
    t.top = std::min(t.top, top);
    t.bottom = std::max(t.bottom, bottom);
    lastFill_ = 1;
    return 1;
}

void Surface::paint(const Surface& src, int dx, int dy, int sx, int sy, int w, int h) {
    // Clip the source rectangle and the destination together.
    if (sx < 0) w += sx, dx -= sx, sx = 0;
    if (sy < 0) h += sy, dy -= sy, sy = 0;
    if (dx < 0) w += dx, sx -= dx, dx = 0;
    if (dy < 0) h += dy, sy -= dy, dy = 0;
    w = std::min({w, src.w_ - sx, w_ - dx});
    h = std::min({h, src.h_ - sy, h_ - dy});
    if (w <= 0 || h <= 0) return;
    for (int r = 0; r < h; ++r) {
        const uint32_t* s = src.px_.data() + static_cast<size_t>(sy + r) * src.w_ + sx;
        uint32_t* d = px_.data() + static_cast<size_t>(dy + r) * w_ + dx;
        for (int i = 0; i < w; ++i) d[i] = s[i] & kMask;
    }
}

void Surface::noteCopiedArea(int left, int top, int right, int bottom) {
    // Fill tags travel with copied pixels: every colour's wipe area must cover the copies.
    for (auto& [colour, t] : tags_) {
        t.left = std::min(t.left, left);
        t.right = std::max(t.right, right);
        t.top = std::min(t.top, top);
        t.bottom = std::max(t.bottom, bottom);
    }
}

void Surface::copyRows(int dy, int sy, int n) {
    if (sy < 0) n += sy, dy -= sy, sy = 0;
    if (dy < 0) n += dy, sy -= dy, dy = 0;
    n = std::min({n, h_ - sy, h_ - dy});
    if (n <= 0 || w_ <= 0) return;
    std::memcpy(px_.data() + static_cast<size_t>(dy) * w_,
                px_.data() + static_cast<size_t>(sy) * w_,
                static_cast<size_t>(n) * w_ * sizeof(uint32_t));
    noteCopiedArea(0, dy, w_ - 1, dy + n - 1);
}

void Surface::repeatAcross(int x, int y, int period, int n) {
    if (y < 0) n += y, y = 0;
    n = std::min(n, h_ - y);
    if (n <= 0 || x < 0 || period <= 0 || x + period >= w_) return;
    for (int r = y; r < y + n; ++r) {
        uint32_t* row = px_.data() + static_cast<size_t>(r) * w_ + x;
        const int len = w_ - x;
        // Doubling: each copy reads only what is already repeated, never its own output.
        for (int done = period; done < len;) {
            const int k = std::min(done, len - done);
            std::memcpy(row + done, row, static_cast<size_t>(k) * sizeof(uint32_t));
            done += k;
        }
    }
    noteCopiedArea(x, y, w_ - 1, y + n - 1);
}

int Surface::findOther(int y, int x, int32_t a, int32_t c, int32_t mask) const {
    if (y < 0 || y >= h_) return w_;
    return vx::findOther(px_.data() + static_cast<size_t>(y) * w_, std::max(x, 0), w_,
                         static_cast<uint32_t>(a) & kMask, static_cast<uint32_t>(c) & kMask,
                         static_cast<uint32_t>(mask) & kMask);
}

bool Surface::operator==(const Surface& o) const {
    if (w_ != o.w_ || h_ != o.h_) return false;
    for (size_t i = 0; i < px_.size(); ++i)
        if ((px_[i] & kMask) != (o.px_[i] & kMask)) return false;
    return true;
}

} // namespace vx
