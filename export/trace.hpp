#pragma once
// A drawing as filled outlines: its colour regions traced with potrace into smooth curves.
#include "surface/surface.hpp"

#include <cstdint>
#include <optional>
#include <vector>

namespace vx {

struct VecPoint {
    double x = 0, y = 0;
};

// A straight line or a cubic curve to `to`, from where the previous segment ended.
struct VecSegment {
    bool curve = false;
    VecPoint c1, c2, to;
};

// A closed outline: it starts and ends at the last segment's end.
struct VecOutline {
    std::vector<VecSegment> segments;
};

// Everything of one colour, filled by the non-zero rule: outer outlines run one way round,
// holes the other, and overlapping outlines of one colour add up to their union.
struct VecLayer {
    int32_t colour = 0;
    std::vector<VecOutline> outlines;
};

// An open or closed line from `start` through its segments, drawn with a pen of one width.
struct VecLine {
    VecPoint start;
    std::vector<VecSegment> segments;
    bool closed = false;
};

// Surface coordinates: pixel (x, y) is the square from (x, y) to (x + 1, y + 1).
struct VecDrawing {
    int width = 0, height = 0;
    // When above 0, the drawing repeats: the layers and lines are one period of it, the copy at
    // (0, 0) of copies at (a * period, b * period) for whole a, b >= 0 that reach the page.
    int period = 0;
    // Painted in order: the fill colours, each reaching under the outline pixels beside it so
    // that neighbours overlap and no gap opens between them; the outline colour's area last,
    // or, when the outline is drawn as lines, first, under the fills, so that nothing lighter
    // than the outline shows through where fills and lines leave a gap.
    std::vector<VecLayer> layers;
    // The outline as the pens drew it, over the fills: repeated with the layers, and once.
    std::vector<VecLine> lines, pageLines;
    bool outlineLines = false;
};

// How a surface is traced.
struct TraceOptions {
    // One a pixel: left unpainted (the space round a single shape); empty: none.
    std::vector<uint8_t> outside;
    // The period with which the surface repeats from (1, 1); -1: found from its pixels.
    int period = -1;
    // The outline colour's area painted first, under the fills, for lines drawn over them;
    // else painted last, over them.
    bool outlineUnder = false;
};

// Traces the surface. A pattern (a surface that repeats from (1, 1) with the period of one
// of the program's tiles) is traced one tile, to be placed side by side; within the symmetric
// square of a tile or shape one eighth is traced and mirrored, so that mirrored regions get
// exactly mirrored outlines.
VecDrawing traceSurface(const Surface& s, const TraceOptions& o = {});

// The period with which the surface repeats from (1, 1) in both directions, one of the
// tile periods s - 1 for run sizes s = 40, 50, ... 400 that fit the surface; 0 when none.
int repeatPeriod(const Surface& s);

// The largest square, within a few pixels of the surface's edges, that maps onto itself under
// the eight symmetries of a square: the whole tile of a pattern, the square of a shape
// inside its picture's frame.
struct MirrorSquare {
    int x = 0, y = 0, n = 0;
};
std::optional<MirrorSquare> symmetricSquare(const Surface& s);

} // namespace vx
