#pragma once
// A picture traced for a vector file, its outline as the pens drew it: the drawing is made
// again with a recorder attached, which gives the kept attempt's pens.
#include "export/trace.hpp"
#include "model/drawing.hpp"
#include "surface/surface.hpp"

namespace vx {

// The fills traced from the picture's pixels, and the outline as the pens' smoothed lines,
// when `drawing` (nullptr: none) made again has the picture's outline; else the outline is
// traced from the pixels too, as an area (outlineLines false). tile: the picture is one
// period of the pattern. Outside a single shape's outline nothing is painted.
VecDrawing tracedDrawing(const Surface& picture, const Drawing* drawing, bool tile);

} // namespace vx
