#pragma once
// A scripted desktop for the start-up tests: a fixed clock and a pump that can act.
#include "core/shapes.hpp"

#include <functional>

namespace vx::testing {

class ScriptedPlatform : public Platform {
  public:
    double clock = 4321.25;
    int pumps = 0;
    std::function<void()> onPump;
    void pumpEvents() override {
        ++pumps;
        if (onPump) onPump();
    }
    double clockSeconds() override { return clock; }
};

} // namespace vx::testing
