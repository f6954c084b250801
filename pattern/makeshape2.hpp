#pragma once
#include "core/shapes.hpp"

namespace vx {

// Fills the whole window with a repeating pattern of one symmetric tile.
void makeshape2(Shapes& sh);

} // namespace vx
