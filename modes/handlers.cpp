#include "core/events.hpp"

namespace vx {

void registerModeHandlers(Events&) {}

} // namespace vx
