#pragma once
// Region colouring shared by the single shape and the pattern tile: the outer fill, the scan of
// one quarter of the square with its eight (or sixteen) mirrored fill points, the census and
// the recolouring by area.
#include "core/shapes.hpp"

namespace vx {

// What the diagonal fill points of an eight-sided drawing get when the scan point lies in a
// coloured region: that region's colour (single shapes) or a fresh draw (pattern tiles).
enum class DiagonalColour { ScanColour, Fresh };

// Colours the closed outline drawn in colour 1 around the square of side s centred on pixel
// (cx, cy); everything outside it becomes colour 1.
void colourRegions(Shapes& sh, int cx, int cy, double s, int nsides, DiagonalColour rule);

} // namespace vx
