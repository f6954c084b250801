#include "app/startup.hpp"
#include "startup_support.hpp"

#include <gtest/gtest.h>

using namespace vx;
using vx::testing::InEmptyFolder;
using vx::testing::ScriptedPlatform;

namespace {

// The main loop after "Begin", with a single shape on screen at a known place.
struct Loop : vx::testing::AfterBegin {
    void SetUp() override {
        AfterBegin::SetUp();
        sh.st.mpattern2 = 0;
        sh.st.swidth = 100;
        sh.st.abb = 300;
        sh.st.dbb = 200;
        sh.st.awb = 0.01;
        sh.st.bwb = -0.01;
    }
    int picX() const { return sh.form.get("Picture1").x; }
    int picY() const { return sh.form.get("Picture1").y; }
};

} // namespace

TEST_F(Loop, NothingMovesWhileAPatternIsOnScreen) {
    sh.st.mpattern2 = 1;
    for (int i = 0; i < 10; ++i) mainLoopTick(sh);
    EXPECT_EQ(sh.st.abb, 300);
    EXPECT_EQ(sh.st.dbb, 200);
}

TEST_F(Loop, FastGlidesAHundredthOfAPixelAPass) {
    mainLoopTick(sh);
    EXPECT_NEAR(sh.st.abb, 300 + kLoopPassesPerTick * 0.01, 1e-9);
    EXPECT_NEAR(sh.st.dbb, 200 - kLoopPassesPerTick * 0.01, 1e-9);
    EXPECT_EQ(picX(), 302);
    EXPECT_EQ(picY(), 198);
    // Regular mode: the picture is hidden, yet the loop keeps moving it.
    EXPECT_FALSE(sh.form.visible("Picture1"));
    EXPECT_FALSE(sh.form.enabled("Timer2"));
}

TEST_F(Loop, BouncesOffEveryEdgeAndStaysInsideTheWindow) {
    const double w = sh.surface.width(), h = sh.surface.height();
    bool hitLeft = false, hitRight = false, hitTop = false, hitBottom = false;
    for (int i = 0; i < 3000; ++i) {
        mainLoopTick(sh);
        const State& st = sh.st;
        ASSERT_GE(st.abb, -0.011);
        ASSERT_LE(st.abb + st.swidth, w + 0.011);
        ASSERT_GE(st.dbb, -0.011);
        ASSERT_LE(st.dbb + st.swidth, h + 0.011);
        hitLeft |= st.abb < 1;
        hitRight |= st.abb + st.swidth > w - 1;
        hitTop |= st.dbb < 1;
        hitBottom |= st.dbb + st.swidth > h - 1;
    }
    EXPECT_TRUE(hitLeft && hitRight && hitTop && hitBottom);
}

TEST_F(Loop, SlowMovesOnePixelAndWaitsForTimer2) {
    sh.form.setVisible("Picture1", true);
    sh.st.nwait4 = 1;
    mainLoopTick(sh);
    EXPECT_NEAR(sh.st.abb, 301, 1e-9);
    EXPECT_NEAR(sh.st.dbb, 199, 1e-9);
    EXPECT_EQ(sh.st.awb, 0.01); // the step is back to its stored size
    EXPECT_EQ(sh.st.hhmmf, 1);
    EXPECT_TRUE(sh.form.enabled("Timer2"));
    EXPECT_EQ(sh.form.get("Timer2").interval, 1);
    EXPECT_EQ(picX(), 300); // placed before the step, moved after the wait

    // No tick yet: the pass stays at its wait.
    mainLoopTick(sh);
    EXPECT_NEAR(sh.st.abb, 301, 1e-9);
    EXPECT_EQ(picX(), 300);

    sh.st.hhmmf = 0; // the Timer2 tick
    mainLoopTick(sh);
    EXPECT_EQ(picX(), 301);
    EXPECT_NEAR(sh.st.abb, 302, 1e-9); // and the next pass has begun
    EXPECT_EQ(sh.st.hhmmf, 1);
}

TEST_F(Loop, SlowWaitWithoutItsTickEndsAfterTheBound) {
    sh.form.setVisible("Picture1", true);
    sh.st.nwait4 = 1;
    mainLoopTick(sh);
    for (int i = 1; i < kMaxSlowWaitTicks; ++i) {
        mainLoopTick(sh);
        ASSERT_EQ(picX(), 300) << i;
    }
    mainLoopTick(sh);
    EXPECT_EQ(picX(), 301);
    EXPECT_NEAR(sh.st.abb, 302, 1e-9);
}

TEST_F(Loop, SlowOnlyWhenThePictureIsVisible) {
    sh.st.nwait4 = 1;
    mainLoopTick(sh);
    EXPECT_NEAR(sh.st.abb, 300 + kLoopPassesPerTick * 0.01, 1e-9);
    EXPECT_FALSE(sh.form.enabled("Timer2"));
    EXPECT_EQ(sh.st.hhmmf, 0);
}
