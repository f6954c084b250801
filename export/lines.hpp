#pragma once
// Lines drawn with a pen of one width: pens' paths smoothed into curves, joined end to end,
// moved and cut at the edges of a rectangle.
#include "export/trace.hpp"

#include <vector>

namespace vx {

// A path as a pen went, one point a step; a corner at each `corners` index (where one pen's
// path meets the next one's).
struct PenPath {
    std::vector<VecPoint> points;
    std::vector<size_t> corners;
    bool closed = false;
};

// Joins paths whose ends lie within `reach` of each other into longer ones (reversing them as
// needed), so that a plotter lifts its pen less often; a path whose ends meet becomes closed.
std::vector<PenPath> joinPaths(std::vector<std::vector<VecPoint>> paths, double reach);

// The path through the points where the pen turned (the pen's positions within `tolerance` of
// the line through them are left out) as a chain of cubic curves through those points, with a
// corner where two pens' paths meet.
VecLine smoothPath(const PenPath& path, double tolerance);

// A straight line, or a closed rectangle, through the given points.
VecLine straightLine(VecPoint a, VecPoint b);
VecLine rectangleLine(VecPoint lo, VecPoint hi);

struct VecRect {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// The parts of the lines inside the rectangle (its edges included), cut where they cross it;
// curves are cut into curves.
std::vector<VecLine> cutLines(const std::vector<VecLine>& lines, const VecRect& r);

// The lines moved by (dx, dy).
std::vector<VecLine> movedLines(std::vector<VecLine> lines, double dx, double dy);

// The smallest rectangle holding every point and control point of the lines.
VecRect linesBounds(const std::vector<VecLine>& lines);

} // namespace vx
