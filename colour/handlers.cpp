#include "core/events.hpp"

namespace vx {

void registerColourHandlers(Events&) {}

} // namespace vx
