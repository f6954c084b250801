#include "core/events.hpp"

namespace vx {

bool Events::click(Shapes& sh, const std::string& name) const {
    auto it = clicks_.find(name);
    if (it == clicks_.end()) return false;
    it->second(sh);
    return true;
}

bool Events::keyDown(Shapes& sh, const std::string& name, int key) const {
    auto it = keyDowns_.find(name);
    return it != keyDowns_.end() && it->second(sh, key);
}

bool Events::keyUp(Shapes& sh, const std::string& name, int key) const {
    auto it = keyUps_.find(name);
    return it != keyUps_.end() && it->second(sh, key);
}

Events& programEvents() {
    static Events e = [] {
        Events ev;
        registerCoreHandlers(ev);
        registerColourHandlers(ev);
        registerModeHandlers(ev);
        registerOutputHandlers(ev);
        return ev;
    }();
    return e;
}

} // namespace vx
