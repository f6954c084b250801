#pragma once
#include "core/shapes.hpp"

namespace vx {

// Fills the whole window with a repeating pattern of one symmetric tile.
void makeshape2(Shapes& sh);

} // namespace vx

namespace vx {

// Colours the tile of an accepted walk (called by makeshape2).
void colourTile(Shapes& sh, int cx, int cy, double s, int nsides);

} // namespace vx
