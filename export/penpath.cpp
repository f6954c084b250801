#include "export/penpath.hpp"

#include "engine/pens.hpp"
#include "surface/numeric.hpp"

#include <algorithm>

namespace vx {

namespace {

// How far the line may pass from the pens' positions between the points where they turned.
constexpr double kTolerance = 0.2;
// Ends of two pens' paths this close are one line: the pens met there.
constexpr double kMeet = 2.0;

// The images of an offset, in markPen's order.
VecPoint image(int k, double x, double y) {
    switch (k) {
    case 0:
        return {x, y};
    case 1:
        return {-x, y};
    case 2:
        return {-x, -y};
    case 3:
        return {x, -y};
    case 4:
        return {y, -x};
    case 5:
        return {y, x};
    case 6:
        return {-y, x};
    default:
        return {-y, -x};
    }
}

// The paths of one pen's images (the main pen, or the turned pen of eight sides), on the
// canvas; a mark on the pen's last pixel again adds nothing.
std::vector<std::vector<VecPoint>> imagePaths(const PenRecorder& r, bool diagonal) {
    std::vector<std::vector<VecPoint>> paths;
    const double ox = r.start().cx + 0.5, oy = r.start().cy + 0.5;
    for (const PenMark& m : r.marks()) {
        if (m.diagonal != diagonal) continue;
        const int n = m.images < 8 ? 4 : 8;
        if (paths.size() < static_cast<size_t>(n)) paths.resize(n);
        for (int k = 0; k < n; ++k) {
            const VecPoint q = image(k, m.dx, m.dy);
            std::vector<VecPoint>& p = paths[k];
            if (p.empty() || p.back().x != ox + q.x || p.back().y != oy + q.y)
                p.push_back({ox + q.x, oy + q.y});
        }
    }
    return paths;
}

// Moves each of the path's pen positions (about the centre o) towards the middle of the pixel
// it marked, by the average of that move over the marks around it. A pen moving at a slant
// keeps the same fraction of a pixel for many steps and can run along the edge of its pixels;
// moved, its line runs down their middle, as thick as they are, and stays as smooth as the
// pen went, since the move changes slowly.
void centre(std::vector<VecPoint>& path, double ox, double oy) {
    constexpr long kAround = 2;
    const long n = static_cast<long>(path.size());
    std::vector<VecPoint> move(path.size());
    for (long i = 0; i < n; ++i) {
        const double x = path[i].x - ox, y = path[i].y - oy;
        move[i] = {pixelOffset(x) - x, pixelOffset(y) - y};
    }
    for (long i = 0; i < n; ++i) {
        const long a = std::max(0L, i - kAround), b = std::min(n - 1, i + kAround);
        VecPoint sum;
        for (long j = a; j <= b; ++j) sum.x += move[j].x, sum.y += move[j].y;
        path[i].x += sum.x / static_cast<double>(b - a + 1);
        path[i].y += sum.y / static_cast<double>(b - a + 1);
    }
}

// A stroke's pixels as a line through their centres.
void addStroke(std::vector<VecLine>& out, const Stroke& k) {
    const double x1 = toInt32(k.x1) + 0.5, y1 = toInt32(k.y1) + 0.5;
    const double x2 = toInt32(k.x2) + 0.5, y2 = toInt32(k.y2) + 0.5;
    if (k.kind == StrokeKind::Segment)
        out.push_back(straightLine({x1, y1}, {x2, y2}));
    else if (k.kind == StrokeKind::Box)
        out.push_back(rectangleLine({std::min(x1, x2), std::min(y1, y2)},
                                    {std::max(x1, x2), std::max(y1, y2)}));
}

} // namespace

void PenRecorder::attemptBegan() {
    trying_ = true;
    tryMarks_.clear();
    tryStrokes_.clear();
}

void PenRecorder::marked(const PenMark& m) {
    (trying_ ? tryMarks_ : marks_).push_back(m);
}

void PenRecorder::stroked(const Stroke& k) {
    // Only the outline colour's strokes stay: the rest is painted over or blanks an attempt.
    if (k.colour != kBorder || k.kind == StrokeKind::FilledBox) return;
    (trying_ ? tryStrokes_ : strokes_).push_back(k);
}

void PenRecorder::attemptEnded(bool kept) {
    trying_ = false;
    if (!kept) return;
    marks_ = std::move(tryMarks_);
    strokes_.insert(strokes_.end(), tryStrokes_.begin(), tryStrokes_.end());
}

std::vector<VecLine> penLines(const PenRecorder& r) {
    std::vector<VecLine> out;
    for (bool diagonal : {false, true}) {
        std::vector<std::vector<VecPoint>> paths = imagePaths(r, diagonal);
        for (std::vector<VecPoint>& p : paths) centre(p, r.start().cx + 0.5, r.start().cy + 0.5);
        for (const PenPath& p : joinPaths(std::move(paths), kMeet))
            out.push_back(smoothPath(p, kTolerance));
    }
    for (const Stroke& k : r.strokes()) addStroke(out, k);
    return out;
}

Surface penPixels(const PenRecorder& r) {
    Surface sf(r.start().width, r.start().height);
    for (const PenMark& m : r.marks())
        markPen(sf, r.start().cx, r.start().cy, m.dx, m.dy, m.images);
    for (const Stroke& k : r.strokes()) drawStroke(sf, k);
    return sf;
}

} // namespace vx
