// Every handler of the registry: it serves a control the window has, and runs in each phase of
// the program without a fault (a control name that does not exist would throw).
#include "app/events.hpp"
#include "app/startup.hpp"
#include "startup_support.hpp"

#include <gtest/gtest.h>

using namespace vx;

TEST(Handlers, EveryRegisteredNameIsAControlOfTheWindow) {
    Shapes sh;
    const std::vector<std::string> names = programEvents().names();
    EXPECT_GT(names.size(), 20u);
    for (const std::string& n : names) EXPECT_TRUE(n == Events::kWindow || sh.form.has(n)) << n;
}

TEST(Handlers, EveryHandlerRunsOnTheMainPageAndAfterBegin) {
    vx::testing::InEmptyFolder folder;
    vx::testing::ScriptedPlatform platform;
    Shapes sh(platform);
    sh.surface.resize(240, 180);
    const Events& ev = programEvents();
    auto everything = [&](const char* phase) {
        for (const std::string& n : ev.names()) {
            EXPECT_NO_THROW(ev.click(sh, n)) << phase << " " << n;
            for (int key : {kKeyLeft, kKeyUp, kKeyRight, kKeyDown, int{'P'}, int{'S'}, int{'A'}}) {
                EXPECT_NO_THROW(ev.keyDown(sh, n, key)) << phase << " " << n << " " << key;
                EXPECT_NO_THROW(ev.keyUp(sh, n, key)) << phase << " " << n << " " << key;
            }
        }
    };
    startup(sh);
    everything("main page");
    command4Click(sh);
    mainLoopTick(sh);
    everything("after Begin");
}
