#pragma once
#include "core/state.hpp"

namespace vx {

// Fills slots 1..20 of the seven shade tables (blue, red, green, brown, purple, yellow, grey).
void fillShadeTables(State& st);

} // namespace vx
