#include "colour/colourdata.hpp"
#include "core/events.hpp"

namespace vx {

void registerColourHandlers(Events& e) {
    e.onClick("bcolor7", bcolor7Click);
    e.onClick("tcolor7", tcolor7Click);
    e.onClick("ucolors", ucolorsClick);
}

} // namespace vx
