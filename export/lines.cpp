#include "export/lines.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace vx {

namespace {

double dist(VecPoint a, VecPoint b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

VecPoint lerp(VecPoint a, VecPoint b, double t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

double toSegment(VecPoint p, VecPoint a, VecPoint b) {
    const double vx = b.x - a.x, vy = b.y - a.y, len2 = vx * vx + vy * vy;
    const double t =
        len2 > 0 ? std::clamp(((p.x - a.x) * vx + (p.y - a.y) * vy) / len2, 0.0, 1.0) : 0.0;
    return dist(p, {a.x + t * vx, a.y + t * vy});
}

// The indices of the points the line through them must keep to stay within tolerance of
// every point from a to b (Douglas and Peucker).
std::vector<size_t> turningPoints(const std::vector<VecPoint>& p, size_t a, size_t b,
                                  double tolerance) {
    std::vector<char> keep(b - a + 1, 0);
    keep.front() = keep.back() = 1;
    std::vector<std::pair<size_t, size_t>> todo{{a, b}};
    // Each pass keeps a new point or settles a span, so there are fewer than 2 (b - a) passes.
    while (!todo.empty()) {
        const auto [i, j] = todo.back();
        todo.pop_back();
        double worst = tolerance;
        size_t at = 0;
        for (size_t k = i + 1; k < j; ++k)
            if (const double d = toSegment(p[k], p[i], p[j]); d > worst) worst = d, at = k;
        if (at == 0) continue;
        keep[at - a] = 1;
        todo.push_back({i, at});
        todo.push_back({at, j});
    }
    std::vector<size_t> out;
    for (size_t k = a; k <= b; ++k)
        if (keep[k - a]) out.push_back(k);
    return out;
}

// The cubic from p1 to p2 of the centripetal Catmull-Rom spline through p0 to p3: it neither
// loops nor overshoots where the points are spaced unevenly.
VecSegment catmullRom(VecPoint p0, VecPoint p1, VecPoint p2, VecPoint p3) {
    double d1 = std::sqrt(dist(p0, p1)), d2 = std::sqrt(dist(p1, p2)), d3 = std::sqrt(dist(p2, p3));
    if (d1 < 1e-6) d1 = d2;
    if (d3 < 1e-6) d3 = d2;
    auto mix = [](VecPoint a, double ka, VecPoint b, double kb, VecPoint c, double kc, double div) {
        return VecPoint{(a.x * ka + b.x * kb + c.x * kc) / div,
                        (a.y * ka + b.y * kb + c.y * kc) / div};
    };
    const VecPoint c1 =
        mix(p2, d1 * d1, p0, -d2 * d2, p1, 2 * d1 * d1 + 3 * d1 * d2 + d2 * d2, 3 * d1 * (d1 + d2));
    const VecPoint c2 =
        mix(p1, d3 * d3, p3, -d2 * d2, p2, 2 * d3 * d3 + 3 * d3 * d2 + d2 * d2, 3 * d3 * (d3 + d2));
    return {true, c1, c2, p2};
}

void lineTo(VecLine& l, VecPoint to) {
    const VecPoint from = l.segments.empty() ? l.start : l.segments.back().to;
    if (dist(from, to) > 1e-9) l.segments.push_back({false, {}, {}, to});
}

// One pen's stretch, from a to b, through its turning points.
void addPiece(VecLine& l, const std::vector<VecPoint>& p, size_t a, size_t b, double tolerance) {
    lineTo(l, p[a]);
    if (b <= a) return;
    const std::vector<size_t> k = turningPoints(p, a, b, tolerance);
    const size_t n = k.size();
    for (size_t i = 0; i + 1 < n; ++i) {
        const VecPoint q1 = p[k[i]], q2 = p[k[i + 1]];
        const VecPoint q0 = i > 0 ? p[k[i - 1]] : VecPoint{2 * q1.x - q2.x, 2 * q1.y - q2.y};
        const VecPoint q3 = i + 2 < n ? p[k[i + 2]] : VecPoint{2 * q2.x - q1.x, 2 * q2.y - q1.y};
        l.segments.push_back(n == 2 ? VecSegment{false, {}, {}, q2} : catmullRom(q0, q1, q2, q3));
    }
}

VecPoint cubicAt(const std::array<VecPoint, 4>& c, double t) {
    const VecPoint a = lerp(c[0], c[1], t), b = lerp(c[1], c[2], t), d = lerp(c[2], c[3], t);
    const VecPoint e = lerp(a, b, t), f = lerp(b, d, t);
    return lerp(e, f, t);
}

// The part of the cubic from t = a to t = b.
std::array<VecPoint, 4> subCurve(const std::array<VecPoint, 4>& c, double a, double b) {
    auto split = [](const std::array<VecPoint, 4>& q, double t, bool left) {
        const VecPoint m01 = lerp(q[0], q[1], t), m12 = lerp(q[1], q[2], t),
                       m23 = lerp(q[2], q[3], t);
        const VecPoint m012 = lerp(m01, m12, t), m123 = lerp(m12, m23, t);
        const VecPoint m = lerp(m012, m123, t);
        return left ? std::array<VecPoint, 4>{q[0], m01, m012, m}
                    : std::array<VecPoint, 4>{m, m123, m23, q[3]};
    };
    const std::array<VecPoint, 4> head = split(c, b, true);
    return b > 0 ? split(head, a / b, false) : head;
}

// A piece of a line: a straight line or a cubic, from c[0] to c[3].
struct Piece {
    bool curve;
    std::array<VecPoint, 4> c;
    VecPoint at(double t) const { return curve ? cubicAt(c, t) : lerp(c[0], c[3], t); }
};

// Where the piece crosses the rectangle's edge lines, in order.
std::vector<double> crossings(const Piece& p, const VecRect& r) {
    std::vector<double> ts;
    constexpr int kSamples = 24;
    for (int axis = 0; axis < 2; ++axis)
        for (double e : axis == 0 ? std::array{r.x0, r.x1} : std::array{r.y0, r.y1}) {
            auto f = [&](double t) {
                const VecPoint q = p.at(t);
                return (axis == 0 ? q.x : q.y) - e;
            };
            const int steps = p.curve ? kSamples : 1;
            for (int i = 0; i < steps; ++i) {
                double lo = static_cast<double>(i) / steps, hi = static_cast<double>(i + 1) / steps;
                if ((f(lo) < 0) == (f(hi) < 0)) continue;
                for (int k = 0; k < 50; ++k) {
                    const double mid = (lo + hi) / 2;
                    ((f(lo) < 0) == (f(mid) < 0) ? lo : hi) = mid;
                }
                const double t = (lo + hi) / 2;
                if (t > 1e-9 && t < 1 - 1e-9) ts.push_back(t);
            }
        }
    std::sort(ts.begin(), ts.end());
    return ts;
}

bool inside(VecPoint q, const VecRect& r) {
    constexpr double e = 1e-7;
    return q.x >= r.x0 - e && q.x <= r.x1 + e && q.y >= r.y0 - e && q.y <= r.y1 + e;
}

std::vector<Piece> pieces(const VecLine& l) {
    std::vector<Piece> out;
    VecPoint from = l.start;
    for (const VecSegment& s : l.segments) {
        out.push_back({s.curve, {from, s.c1, s.c2, s.to}});
        from = s.to;
    }
    if (l.closed && dist(from, l.start) > 1e-9)
        out.push_back({false, {from, from, l.start, l.start}});
    return out;
}

void append(VecLine& l, const Piece& p) {
    if (p.curve)
        l.segments.push_back({true, p.c[1], p.c[2], p.c[3]});
    else
        l.segments.push_back({false, {}, {}, p.c[3]});
}

// The line cut at the rectangle: its parts inside, in order; whether its first part starts
// at its start and its last ends at its end.
struct Cut {
    std::vector<VecLine> parts;
    bool whole = true, fromStart = false, toEnd = false;
};

Cut cutLine(const VecLine& l, const VecRect& r) {
    Cut cut;
    VecLine run;
    bool open = false;
    const std::vector<Piece> ps = pieces(l);
    for (size_t i = 0; i < ps.size(); ++i) {
        std::vector<double> ts = crossings(ps[i], r);
        cut.whole = cut.whole && ts.empty();
        ts.insert(ts.begin(), 0.0);
        ts.push_back(1.0);
        for (size_t k = 0; k + 1 < ts.size(); ++k) {
            const double a = ts[k], b = ts[k + 1];
            const Piece& p = ps[i];
            Piece part{p.curve, p.curve ? subCurve(p.c, a, b)
                                        : std::array<VecPoint, 4>{p.at(a), {}, {}, p.at(b)}};
            if (!inside(p.at((a + b) / 2), r)) {
                cut.whole = false;
                if (open) cut.parts.push_back(std::move(run)), run = {}, open = false;
                continue;
            }
            if (!open) {
                run.start = part.c[0];
                open = true;
                if (i == 0 && k == 0) cut.fromStart = true;
            }
            append(run, part);
        }
    }
    if (open) cut.parts.push_back(std::move(run)), cut.toEnd = true;
    return cut;
}

} // namespace

std::vector<PenPath> joinPaths(std::vector<std::vector<VecPoint>> paths, double reach) {
    paths.erase(std::remove_if(paths.begin(), paths.end(), [](const auto& p) { return p.empty(); }),
                paths.end());
    std::vector<char> used(paths.size(), 0);
    std::vector<PenPath> out;
    for (size_t i = 0; i < paths.size(); ++i) {
        if (used[i]) continue;
        used[i] = 1;
        PenPath p{paths[i], {}, false};
        for (int side = 0; side < 2; ++side) {
            // Each pass takes one more path, so there are at most as many passes as paths.
            for (size_t pass = 0; pass < paths.size(); ++pass) {
                size_t best = paths.size();
                bool flip = false;
                double nearest = reach;
                for (size_t j = 0; j < paths.size(); ++j) {
                    if (used[j]) continue;
                    for (bool back : {false, true}) {
                        const double d =
                            dist(p.points.back(), back ? paths[j].back() : paths[j].front());
                        if (d <= nearest) nearest = d, best = j, flip = back;
                    }
                }
                if (best == paths.size()) break;
                used[best] = 1;
                std::vector<VecPoint>& q = paths[best];
                if (flip) std::reverse(q.begin(), q.end());
                p.corners.push_back(p.points.size());
                p.points.insert(p.points.end(), q.begin(), q.end());
            }
            std::reverse(p.points.begin(), p.points.end());
            for (size_t& c : p.corners) c = p.points.size() - c;
            std::reverse(p.corners.begin(), p.corners.end());
        }
        p.closed = p.points.size() > 2 && dist(p.points.front(), p.points.back()) <= reach;
        out.push_back(std::move(p));
    }
    return out;
}

VecLine smoothPath(const PenPath& path, double tolerance) {
    VecLine l;
    if (path.points.empty()) return l;
    l.start = path.points.front();
    size_t from = 0;
    for (size_t c : path.corners) {
        if (c <= from || c >= path.points.size()) continue;
        addPiece(l, path.points, from, c - 1, tolerance);
        from = c;
    }
    addPiece(l, path.points, from, path.points.size() - 1, tolerance);
    l.closed = path.closed;
    return l;
}

VecLine straightLine(VecPoint a, VecPoint b) {
    VecLine l;
    l.start = a;
    l.segments.push_back({false, {}, {}, b});
    return l;
}

VecLine rectangleLine(VecPoint lo, VecPoint hi) {
    VecLine l;
    l.start = lo;
    for (VecPoint q : {VecPoint{hi.x, lo.y}, hi, VecPoint{lo.x, hi.y}})
        l.segments.push_back({false, {}, {}, q});
    l.closed = true;
    return l;
}

std::vector<VecLine> cutLines(const std::vector<VecLine>& lines, const VecRect& r) {
    std::vector<VecLine> out;
    for (const VecLine& l : lines) {
        if (l.segments.empty()) continue;
        Cut cut = cutLine(l, r);
        if (cut.whole) {
            out.push_back(l);
            continue;
        }
        // A closed line cut open continues from its last part into its first.
        if (l.closed && cut.fromStart && cut.toEnd && cut.parts.size() > 1) {
            VecLine& last = cut.parts.back();
            const VecLine& first = cut.parts.front();
            last.segments.insert(last.segments.end(), first.segments.begin(), first.segments.end());
            cut.parts.erase(cut.parts.begin());
        }
        for (VecLine& part : cut.parts) out.push_back(std::move(part));
    }
    return out;
}

std::vector<VecLine> movedLines(std::vector<VecLine> lines, double dx, double dy) {
    auto move = [&](VecPoint& q) { q.x += dx, q.y += dy; };
    for (VecLine& l : lines) {
        move(l.start);
        for (VecSegment& s : l.segments) {
            move(s.c1), move(s.c2), move(s.to);
        }
    }
    return lines;
}

VecRect linesBounds(const std::vector<VecLine>& lines) {
    VecRect r{1e300, 1e300, -1e300, -1e300};
    auto take = [&](VecPoint q) {
        r.x0 = std::min(r.x0, q.x), r.y0 = std::min(r.y0, q.y);
        r.x1 = std::max(r.x1, q.x), r.y1 = std::max(r.y1, q.y);
    };
    for (const VecLine& l : lines) {
        take(l.start);
        for (const VecSegment& s : l.segments) {
            if (s.curve) take(s.c1), take(s.c2);
            take(s.to);
        }
    }
    return r;
}

} // namespace vx
