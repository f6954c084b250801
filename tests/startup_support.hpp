#pragma once
// A scripted desktop for the start-up tests: a fixed clock and a pump that can act.
#include "app/shapes.hpp"
#include "app/startup.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>

namespace vx::testing {

class ScriptedPlatform : public Platform {
  public:
    double clock = 4321.25;
    double steady = 100; // the steady clock, advanced by the tests frame by frame
    int pumps = 0;
    std::function<void()> onPump;
    void pumpEvents() override {
        ++pumps;
        if (onPump) onPump();
    }
    double clockSeconds() override { return clock; }
    double steadySeconds() override { return steady; }
};

// Runs a test in a fresh empty working folder, so no settings file of another run counts.
class InEmptyFolder {
  public:
    InEmptyFolder() : old_(std::filesystem::current_path()) {
        std::random_device rd;
        dir_ = std::filesystem::temp_directory_path() /
               ("vortalis-startup-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
    }
    ~InEmptyFolder() {
        std::error_code ec;
        std::filesystem::current_path(old_, ec);
        std::filesystem::remove_all(dir_, ec);
    }
    InEmptyFolder(const InEmptyFolder&) = delete;
    InEmptyFolder& operator=(const InEmptyFolder&) = delete;

  private:
    std::filesystem::path old_, dir_;
};

// The window after start-up, "Begin" and the first drawing.
struct AfterBegin : ::testing::Test {
    InEmptyFolder folder;
    ScriptedPlatform platform;
    Shapes sh{platform};
    void SetUp() override {
        startup(sh);
        command4Click(sh);
        mainLoopTick(sh);
    }
    // One frame of the main loop, a 60th of a second after the one before.
    void frame(double seconds = 1.0 / 60) {
        platform.steady += seconds;
        mainLoopTick(sh);
    }
};

} // namespace vx::testing
