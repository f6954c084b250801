#include "app/events.hpp"
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
    for (int i = 0; i < 10; ++i) frame();
    EXPECT_EQ(sh.st.abb, 300);
    EXPECT_EQ(sh.st.dbb, 200);
}

TEST_F(Loop, FastGlidesAHundredthOfAPixelAPassAtAFixedRate) {
    frame();
    const double step = kFastPassesPerSecond / 60 * 0.01;
    EXPECT_NEAR(sh.st.abb, 300 + step, 1e-9);
    EXPECT_NEAR(sh.st.dbb, 200 - step, 1e-9);
    EXPECT_EQ(picX(), toInt32(300 + step));
    EXPECT_EQ(picY(), toInt32(200 - step));
    // Twice the time between frames, twice the way; a long stall is not made up.
    frame(2.0 / 60);
    EXPECT_NEAR(sh.st.abb, 300 + 3 * step, 1e-6);
    frame(5);
    EXPECT_NEAR(sh.st.abb, 300 + 3 * step + kFastPassesPerSecond * kMaxFrameGap * 0.01, 1e-6);
    // Regular mode: the picture is hidden, yet the loop keeps moving it.
    EXPECT_FALSE(sh.form.visible("Picture1"));
    EXPECT_FALSE(sh.form.enabled("Timer2"));
}

TEST_F(Loop, BouncesOffEveryEdgeAndStaysInsideTheWindow) {
    const double w = sh.surface.width(), h = sh.surface.height();
    bool hitLeft = false, hitRight = false, hitTop = false, hitBottom = false;
    for (int i = 0; i < 3000; ++i) {
        frame();
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
    frame();
    EXPECT_NEAR(sh.st.abb, 301, 1e-9);
    EXPECT_NEAR(sh.st.dbb, 199, 1e-9);
    EXPECT_EQ(sh.st.awb, 0.01); // the step is back to its stored size
    EXPECT_EQ(sh.st.hhmmf, 1);
    EXPECT_TRUE(sh.form.enabled("Timer2"));
    EXPECT_EQ(sh.form.get("Timer2").interval, 1);
    EXPECT_EQ(picX(), 300); // placed before the step, moved after the wait

    // No tick yet: the pass stays at its wait.
    frame();
    EXPECT_NEAR(sh.st.abb, 301, 1e-9);
    EXPECT_EQ(picX(), 300);

    ASSERT_TRUE(programEvents().click(sh, "Timer2"));
    EXPECT_EQ(sh.st.hhmmf, 0);
    EXPECT_FALSE(sh.form.enabled("Timer2"));
    frame();
    EXPECT_EQ(picX(), 301);
    EXPECT_NEAR(sh.st.abb, 302, 1e-9); // and the next pass has begun
    EXPECT_EQ(sh.st.hhmmf, 1);
}

TEST_F(Loop, SlowWaitWithoutItsTickEndsAfterTheBound) {
    sh.form.setVisible("Picture1", true);
    sh.st.nwait4 = 1;
    frame();
    for (int i = 1; i < kMaxSlowWaitTicks; ++i) {
        frame();
        ASSERT_EQ(picX(), 300) << i;
    }
    frame();
    EXPECT_EQ(picX(), 301);
    EXPECT_NEAR(sh.st.abb, 302, 1e-9);
}

TEST_F(Loop, SlowOnlyWhenThePictureIsVisible) {
    sh.st.nwait4 = 1;
    frame();
    EXPECT_NEAR(sh.st.abb, 300 + kFastPassesPerSecond / 60 * 0.01, 1e-9);
    EXPECT_FALSE(sh.form.enabled("Timer2"));
    EXPECT_EQ(sh.st.hhmmf, 0);
}

TEST_F(Loop, ThePictureIsPlacedOncePerFrame) {
    sh.form.setVisible("Picture1", true);
    int moves = 0;
    sh.form.listen([&](const ui::Control& c, ui::Change ch) {
        moves += c.name == "Picture1" && ch == ui::Change::Geometry;
    });
    for (int i = 0; i < 30; ++i) frame();
    EXPECT_EQ(moves, 30);
}

TEST_F(Loop, APictureLargerThanTheWindowStaysAsFarInsideAsItCan) {
    // 400 + 2 on a window of 300 x 200, starting off to the right, at both speeds.
    sh.surface.resize(300, 200);
    sh.form.setVisible("Picture1", true);
    sh.st.swidth = 400;
    sh.st.abb = 250;
    for (double speed : {0.0, 1.0}) {
        sh.st.nwait4 = speed;
        for (int i = 0; i < 2000; ++i) {
            frame();
            if (sh.st.hhmmf == 1) programEvents().click(sh, "Timer2");
            // A slow step of a whole pixel may reach one pixel past the edge before it turns.
            ASSERT_LE(sh.st.abb, 1.0);
            ASSERT_GE(sh.st.abb, 300 - 400.0 - 1);
            ASSERT_LE(sh.st.dbb, 1.0);
            ASSERT_GE(sh.st.dbb, 200 - 400.0 - 1);
        }
    }
}
