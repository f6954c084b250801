#include "core/events.hpp"

namespace vx {

void registerOutputHandlers(Events&) {}

} // namespace vx
