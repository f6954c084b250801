#include "export/trace.hpp"

#include <potracelib.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <optional>
#include <unordered_map>

namespace vx {

namespace {

// How far an eighth reaches past its mirror lines, in pixels: potrace rounds the corners where
// a cut meets a region's edge, and the mirrored neighbour covers what the rounding leaves out.
constexpr int kMargin = 4;
// A shape's picture has a frame of a few pixels around its symmetric square.
constexpr int kFrameSlack = 4;

struct Box {
    int x0 = INT_MAX, y0 = INT_MAX, x1 = -1, y1 = -1;
    void add(int x, int y) {
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    }
};

struct Transform {
    int a, b;  // signs of the two axes
    bool swap; // the axes exchanged
    bool mirrors() const { return (a * b < 0) != swap; }
};
constexpr Transform kSymmetries[8] = {{1, 1, false},   {-1, 1, false}, {1, -1, false},
                                      {-1, -1, false}, {1, 1, true},   {-1, 1, true},
                                      {1, -1, true},   {-1, -1, true}};

VecOutline reversed(const VecOutline& o) {
    VecOutline r;
    const size_t n = o.segments.size();
    r.segments.reserve(n);
    for (size_t i = n; i-- > 0;) {
        const VecSegment& s = o.segments[i];
        r.segments.push_back({s.curve, s.c2, s.c1, o.segments[(i + n - 1) % n].to});
    }
    return r;
}

VecOutline mapped(const VecOutline& o, const Transform& t, double cx, double cy) {
    auto map = [&](VecPoint p) {
        double u = p.x - cx, v = p.y - cy;
        if (t.swap) std::swap(u, v);
        return VecPoint{cx + t.a * u, cy + t.b * v};
    };
    VecOutline r;
    r.segments.reserve(o.segments.size());
    for (const VecSegment& s : o.segments)
        r.segments.push_back({s.curve, map(s.c1), map(s.c2), map(s.to)});
    return t.mirrors() ? reversed(r) : r;
}

struct ParamFree {
    void operator()(potrace_param_t* p) const { potrace_param_free(p); }
};
struct StateFree {
    void operator()(potrace_state_t* s) const { potrace_state_free(s); }
};

// Traces the set pixels of a box; the outlines in surface coordinates.
template <class Set>
void traceBox(const potrace_param_t& param, const Box& box, Set set, std::vector<VecOutline>& out) {
    const int w = box.x1 - box.x0 + 1, h = box.y1 - box.y0 + 1;
    constexpr int kBits = static_cast<int>(sizeof(potrace_word) * CHAR_BIT);
    const int dy = (w + kBits - 1) / kBits;
    std::vector<potrace_word> map(static_cast<size_t>(dy) * h, 0);
    for (int j = 0; j < h; ++j) {
        potrace_word* row = map.data() + static_cast<size_t>(j) * dy;
        for (int i = 0; i < w; ++i)
            if (set(box.x0 + i, box.y0 + j))
                row[i / kBits] |= potrace_word{1} << (kBits - 1 - i % kBits);
    }
    const potrace_bitmap_t bm{w, h, dy, map.data()};
    const std::unique_ptr<potrace_state_t, StateFree> st(potrace_trace(&param, &bm));
    if (!st || st->status != POTRACE_STATUS_OK) return;
    // On the grid of the files' two decimals, so that a mirrored point is written as exactly
    // the mirror of the written point.
    const auto at = [&](const potrace_dpoint_t& p) {
        return VecPoint{std::round((p.x + box.x0) * 100) / 100,
                        std::round((p.y + box.y0) * 100) / 100};
    };
    for (const potrace_path_t* p = st->plist; p; p = p->next) {
        VecOutline o;
        const potrace_curve_t& c = p->curve;
        for (int i = 0; i < c.n; ++i) {
            if (c.tag[i] == POTRACE_CURVETO) {
                o.segments.push_back({true, at(c.c[i][0]), at(c.c[i][1]), at(c.c[i][2])});
            } else {
                o.segments.push_back({false, {}, {}, at(c.c[i][1])});
                o.segments.push_back({false, {}, {}, at(c.c[i][2])});
            }
        }
        if (!o.segments.empty()) out.push_back(std::move(o));
    }
}

// What one tracing pass covers: the pixels `keep` takes, and the images of every outline it
// finds (about the point (cx, cy)).
template <class Keep> struct TracePass {
    const Surface& surface;
    const potrace_param_t& param;
    Keep keep;
    const Transform* images;
    int imageCount;
    double cx, cy;
};

struct Region {
    int32_t colour;
    Box box;
};

// The 4-connected regions of one colour among the pixels `keep` takes, each pixel labelled
// with its region's index (-1: none); the outline colour connects diagonally too.
template <class Keep>
std::vector<Region> labelRegions(const Surface& s, Keep keep, std::vector<int32_t>& label) {
    const int w = s.width(), h = s.height();
    // Fills are 4-connected as the flood fill makes them; the outline is a line of pixels that
    // may step diagonally, and stays one line.
    static constexpr std::pair<int, int> kNeighbours[] = {{-1, 0},  {1, 0},  {0, -1}, {0, 1},
                                                          {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    std::vector<Region> regions;
    label.assign(static_cast<size_t>(w) * h, -1);
    std::vector<size_t> todo;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t at = static_cast<size_t>(y) * w + x;
            const int32_t c = s.pixel(x, y);
            if (label[at] >= 0 || !keep(x, y)) continue;
            const auto id = static_cast<int32_t>(regions.size());
            regions.push_back({c, Box{}});
            label[at] = id;
            todo.push_back(at);
            // Each pixel enters the list once, so it never holds more than the surface.
            while (!todo.empty()) {
                const size_t q = todo.back();
                todo.pop_back();
                const int qx = static_cast<int>(q % w), qy = static_cast<int>(q / w);
                regions[id].box.add(qx, qy);
                for (auto [dx, dy] : kNeighbours) {
                    if (c != kBorder && dx != 0 && dy != 0) continue;
                    const int nx = qx + dx, ny = qy + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                    const size_t n = static_cast<size_t>(ny) * w + nx;
                    if (label[n] < 0 && s.pixel(nx, ny) == c && keep(nx, ny)) {
                        label[n] = id;
                        todo.push_back(n);
                    }
                }
            }
        }
    return regions;
}

// Traces each region among the pixels `keep` takes on its own, so that the work grows with the
// regions' sizes, not with their number times the surface; a fill reaches under the outline
// pixels near it. Adds each colour's layer on first use.
template <class Keep>
void traceColours(const TracePass<Keep>& pass, std::vector<VecLayer>& layers) {
    const Surface& s = pass.surface;
    const int w = s.width(), h = s.height();
    std::vector<int32_t> label;
    const std::vector<Region> regions = labelRegions(s, pass.keep, label);
    potrace_param_t lineParam = pass.param;
    lineParam.turnpolicy = POTRACE_TURNPOLICY_BLACK;
    // Its bends sharper still: a line one pixel wide loses its pixels to a rounded corner.
    lineParam.alphamax = 0.2;

    std::unordered_map<int32_t, size_t> layerOf;
    for (const VecLayer& l : layers) layerOf.emplace(l.colour, &l - layers.data());
    auto in = [&](int x, int y, int32_t id) {
        return x >= 0 && y >= 0 && x < w && y < h && label[static_cast<size_t>(y) * w + x] == id;
    };
    auto near = [&](int x, int y, int32_t id) {
        for (int j = -1; j <= 1; ++j)
            for (int i = -1; i <= 1; ++i)
                if (in(x + i, y + j, id)) return true;
        return false;
    };
    for (int32_t id = 0; id < static_cast<int32_t>(regions.size()); ++id) {
        const auto [colour, box] = regions[id];
        std::vector<VecOutline> piece;
        if (colour == kBorder) {
            traceBox(
                lineParam, box, [&](int x, int y) { return in(x, y, id); }, piece);
        } else {
            const Box wider{std::max(0, box.x0 - 1), std::max(0, box.y0 - 1),
                            std::min(w - 1, box.x1 + 1), std::min(h - 1, box.y1 + 1)};
            traceBox(
                pass.param, wider,
                [&](int x, int y) {
                    if (in(x, y, id)) return true;
                    return s.pixel(x, y) == kBorder && pass.keep(x, y) && near(x, y, id);
                },
                piece);
        }
        auto [it, fresh] = layerOf.try_emplace(colour, layers.size());
        if (fresh) layers.push_back(VecLayer{colour, {}});
        VecLayer& layer = layers[it->second];
        for (int i = 0; i < pass.imageCount; ++i)
            for (const VecOutline& o : piece)
                layer.outlines.push_back(mapped(o, pass.images[i], pass.cx, pass.cy));
    }
}

// One layer per colour, fills in the order first met, the outline colour last. Within the
// mirror square only one eighth (and its margin) is traced, and mirrored; the rest of the
// surface, reaching a little into the square, is traced as it is. Pixels outside are left out.
std::vector<VecLayer> traceLayers(const Surface& s, const std::optional<MirrorSquare>& m,
                                  const TraceOptions& o) {
    const std::unique_ptr<potrace_param_t, ParamFree> param(potrace_param_default());
    if (!param) return {};
    param->turdsize = 0; // every pixel counts: the centre of a shape may be one pixel
    // Fill regions touching at a corner stay apart, as the flood fill keeps them; and corners
    // a little sharper than potrace's default keep more pixel centres on their own side.
    param->turnpolicy = POTRACE_TURNPOLICY_WHITE;
    param->alphamax = 0.5;

    const int w = s.width();
    auto painted = [&](int x, int y) {
        return o.outside.empty() || !o.outside[static_cast<size_t>(y) * w + x];
    };
    std::vector<VecLayer> layers;
    const Transform identity = kSymmetries[0];
    if (!m) {
        traceColours(TracePass<decltype(painted)>{s, *param, painted, &identity, 1, 0, 0}, layers);
    } else {
        const int n = m->n;
        auto inSquare = [&](int x, int y) {
            return x >= m->x && y >= m->y && x < m->x + n && y < m->y + n;
        };
        // Pixel centres at twice their offset from the square's centre.
        auto inEighth = [&](int x, int y) {
            const int u = 2 * (x - m->x) + 1 - n, v = 2 * (y - m->y) + 1 - n;
            return inSquare(x, y) && v >= -2 * kMargin && v <= u + 2 * kMargin && painted(x, y);
        };
        const double c = n / 2.0;
        traceColours(
            TracePass<decltype(inEighth)>{s, *param, inEighth, kSymmetries, 8, m->x + c, m->y + c},
            layers);
        if (n < s.width() || n < s.height()) {
            constexpr int kOverlap = 2;
            auto beyond = [&](int x, int y) {
                return (x < m->x + kOverlap || y < m->y + kOverlap || x >= m->x + n - kOverlap ||
                        y >= m->y + n - kOverlap) &&
                       painted(x, y);
            };
            traceColours(TracePass<decltype(beyond)>{s, *param, beyond, &identity, 1, 0, 0},
                         layers);
        }
    }
    // The lightest fill first: where a fill's smoothed edge reaches past the outline onto its
    // neighbour, it darkens it, never lightens it.
    auto luminance = [](int32_t c) {
        return 299 * (c & 0xFF) + 587 * ((c >> 8) & 0xFF) + 114 * ((c >> 16) & 0xFF);
    };
    std::stable_sort(layers.begin(), layers.end(), [&](const VecLayer& a, const VecLayer& b) {
        const bool aOutline = a.colour == kBorder, bOutline = b.colour == kBorder;
        if (aOutline != bOutline) return aOutline == o.outlineUnder;
        return luminance(a.colour) > luminance(b.colour);
    });
    return layers;
}

int wrap(int v, int p) {
    return ((v % p) + p) % p;
}

} // namespace

std::optional<MirrorSquare> symmetricSquare(const Surface& s) {
    const int w = s.width(), h = s.height();
    auto symmetric = [&](int x0, int y0, int n) {
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) {
                const int32_t c = s.pixel(x0 + i, y0 + j);
                if (c != s.pixel(x0 + n - 1 - i, y0 + j) || c != s.pixel(x0 + j, y0 + i))
                    return false;
            }
        return true;
    };
    const int side = std::min(w, h);
    for (int n = side; n >= std::max(3, side - kFrameSlack); --n)
        for (int y0 = 0; y0 + n <= h && y0 <= kFrameSlack; ++y0)
            for (int x0 = 0; x0 + n <= w && x0 <= kFrameSlack; ++x0)
                if (symmetric(x0, y0, n)) return MirrorSquare{x0, y0, n};
    return std::nullopt;
}

int repeatPeriod(const Surface& s) {
    const int w = s.width(), h = s.height();
    for (int p = 39; p <= 399; p += 10) {
        if (w < p + 1 || h < p + 1) break;
        bool repeats = true;
        for (int y = 0; y < h && repeats; ++y)
            for (int x = 0; x < w && repeats; ++x)
                repeats = (x + p >= w || s.pixel(x, y) == s.pixel(x + p, y)) &&
                          (y + p >= h || s.pixel(x, y) == s.pixel(x, y + p));
        if (repeats) return p;
    }
    return 0;
}

VecDrawing traceSurface(const Surface& s, const TraceOptions& o) {
    VecDrawing d;
    d.width = s.width();
    d.height = s.height();
    const int p = o.period >= 0 ? o.period : repeatPeriod(s);
    if (p <= 0 || d.width < p + 1 || d.height < p + 1 || !o.outside.empty()) {
        d.layers = traceLayers(s, symmetricSquare(s), o);
        return d;
    }
    // One period with a pixel of its neighbours all round, so that neighbouring copies overlap
    // in the outline colour instead of meeting edge to edge.
    Surface tile(p + 2, p + 2);
    for (int j = 0; j < p + 2; ++j)
        for (int i = 0; i < p + 2; ++i)
            tile.setPixel(i, j, s.pixel(1 + wrap(i - 1, p), 1 + wrap(j - 1, p)));
    TraceOptions one;
    one.outlineUnder = o.outlineUnder;
    d.layers = traceLayers(tile, symmetricSquare(tile), one);
    d.period = p;
    return d;
}

} // namespace vx
