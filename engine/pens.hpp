#pragma once
// The mirrored pens of both generators: one pen held as an offset from the centre pixel and
// drawn with its images under the symmetries of the square.
#include "surface/numeric.hpp"
#include "surface/surface.hpp"

namespace vx {

// Marks in colour 1 the pixel of the pen at centre + (dx, dy) and of its images: 4 (mirrored
// in both axes) or 8 (and in both diagonals). An image's pixel is the centre plus the
// mirrored pixelOffset of the pen's, so mirrored pens always select mirrored pixels. Inlined:
// it is most of a step's work.
[[gnu::always_inline]] inline void markPen(Surface& sf, int cx, int cy, double dx, double dy,
                                           int images) {
    const int rx = pixelOffset(dx), ry = pixelOffset(dy);
    sf.setPixel(cx + rx, cy + ry, kBorder);
    sf.setPixel(cx - rx, cy + ry, kBorder);
    sf.setPixel(cx - rx, cy - ry, kBorder);
    sf.setPixel(cx + rx, cy - ry, kBorder);
    if (images < 8) return;
    sf.setPixel(cx + ry, cy - rx, kBorder);
    sf.setPixel(cx + ry, cy + rx, kBorder);
    sf.setPixel(cx - ry, cy + rx, kBorder);
    sf.setPixel(cx - ry, cy - rx, kBorder);
}

} // namespace vx
