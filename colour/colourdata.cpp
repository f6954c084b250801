#include "colour/colourdata.hpp"

namespace vx {

void fillShadeTables(State&) {}

} // namespace vx
