#include "app/events.hpp"

#include <algorithm>

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

std::vector<std::string> Events::names() const {
    std::vector<std::string> out;
    for (const auto& [n, h] : clicks_) out.push_back(n);
    for (const auto* keys : {&keyDowns_, &keyUps_})
        for (const auto& [n, h] : *keys) out.push_back(n);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

} // namespace vx
