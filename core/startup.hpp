#pragma once
#include "core/shapes.hpp"

namespace vx {

// Runs once when the window first becomes active: start values, the first drawing.
void startup(Shapes& sh);

} // namespace vx
