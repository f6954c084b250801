// Regular and screen-saver modes as the menus, the timers and the style switches drive them.
#include "app/events.hpp"
#include "app/settings.hpp"
#include "startup_support.hpp"

#include <gtest/gtest.h>

using namespace vx;

namespace {

const char* const kPanelShown[] = {"Command1", "Label2", "Text2",  "Label9", "Text9",
                                   "Label8",   "Text10", "Label3", "Text3",  "Option1",
                                   "Option2",  "Label5", "Text5"};

struct Modes : vx::testing::AfterBegin {
    void SetUp() override {
        AfterBegin::SetUp();
        sh.surface.resize(640, 480);
    }
    void click(const char* name) { ASSERT_TRUE(programEvents().click(sh, name)) << name; }
    bool panelShown() const {
        for (const char* n : kPanelShown)
            if (!sh.form.visible(n)) return false;
        return true;
    }
    bool panelHidden() const {
        for (const char* n : kPanelShown)
            if (sh.form.visible(n)) return false;
        return true;
    }
    int picX() const { return sh.form.get("Picture1").x; }
    int picY() const { return sh.form.get("Picture1").y; }
    // Single shapes of size 100 in regular mode, one drawn.
    void singleShapeDrawn() {
        click("csingle");
        sh.form.setText("Text2", "100");
        click("Command1");
        ASSERT_EQ(sh.st.bbmv, 1);
    }
};

} // namespace

TEST_F(Modes, EnteringTwiceOnlyRepairsTheFieldsTheSecondTime) {
    click("ssaver");
    EXPECT_EQ(sh.st.ssmode, 1);
    EXPECT_TRUE(sh.form.checked("ssaver"));
    EXPECT_FALSE(sh.form.checked("regmode"));
    EXPECT_TRUE(panelHidden());
    EXPECT_TRUE(sh.form.enabled("Timer1"));
    EXPECT_EQ(sh.form.get("Timer1").interval, 10000);

    // Fields below their ranges become the least value; the period waits for its use.
    const std::tuple<const char*, const char*, const char*> fields[] = {{"Text2", "12", "40"},
                                                                        {"Text3", "0", "1"},
                                                                        {"Text9", "", "1"},
                                                                        {"Text10", "-3", "1"},
                                                                        {"Text5", "0", "0"}};
    for (auto [f, typed, shown] : fields) sh.form.setText(f, typed);
    sh.form.setEnabled("Timer1", false); // a second entry would switch it on again
    click("ssaver");
    for (auto [f, typed, shown] : fields) EXPECT_EQ(sh.form.text(f), shown) << f;
    EXPECT_FALSE(sh.form.enabled("Timer1"));
}

TEST_F(Modes, AnyTextInTheSecondsFieldGivesAPeriodOfOneToFiftySeconds) {
    for (auto [typed, shown, ms] : {std::tuple{"0", "1", 1000},
                                    {"75", "50", 50000},
                                    {"abc", "1", 1000},
                                    {"", "1", 1000},
                                    {"-4", "1", 1000},
                                    {"1e300", "50", 50000},
                                    {"2.5", "2.5", 2500}}) {
        sh.form.setText("Text5", typed);
        click("ssaver");
        EXPECT_EQ(sh.form.text("Text5"), shown) << typed;
        EXPECT_EQ(sh.form.get("Timer1").interval, ms) << typed;
        click("regmode");
    }
}

TEST_F(Modes, EnteringRightAfterAPatternDrawsNothingUntilThePeriod) {
    ASSERT_EQ(sh.st.bbmv, 2);
    const Surface before = sh.surface;
    click("ssaver");
    EXPECT_TRUE(sh.surface == before);
    EXPECT_FALSE(sh.form.visible("Picture1"));
    click("Timer1");
    EXPECT_FALSE(sh.surface == before);
    EXPECT_EQ(sh.st.bbmv, 2);
    EXPECT_TRUE(sh.form.enabled("Timer1")) << "the pattern gives Timer1 back its state";
}

TEST_F(Modes, SingleShapesGlideFromTheMiddleAndGoBackThereOnLeaving) {
    singleShapeDrawn();
    sh.surface.fillBox(0, 0, 639, 479, 4242); // whatever the window showed
    click("ssaver");
    // The picture already holds a shape of this size: the window shows it alone at once.
    EXPECT_TRUE(sh.form.visible("Picture1"));
    EXPECT_EQ(sh.surface.pixel(5, 5), kBorder);
    EXPECT_EQ(picX(), 320 - 50);
    EXPECT_EQ(picY(), 240 - 50);
    EXPECT_FALSE(sh.form.enabled("sscreen"));
    for (int i = 0; i < 30; ++i) frame();
    EXPECT_NE(picX(), 270);

    click("regmode");
    EXPECT_EQ(sh.st.ssmode, 0);
    EXPECT_TRUE(sh.form.checked("regmode"));
    EXPECT_FALSE(sh.form.visible("Picture1"));
    EXPECT_FALSE(sh.form.enabled("Timer1"));
    EXPECT_TRUE(panelShown());
    // The shape is back in the middle: picture pixel (1 + i, 1 + j) at (270 + i, 190 + j).
    for (int j = 0; j < 100; j += 7)
        for (int i = 0; i < 100; i += 5)
            ASSERT_EQ(sh.surface.pixel(270 + i, 190 + j), sh.picture1.pixel(1 + i, 1 + j));
}

TEST_F(Modes, EnteringAfterAPatternWithSingleShapesDrawsAShapeAtOnce) {
    click("csingle"); // the pattern of "Begin" is still on screen
    click("ssaver");
    EXPECT_EQ(sh.st.bbmv, 1);
    EXPECT_TRUE(sh.form.visible("Picture1"));
    EXPECT_EQ(sh.surface.pixel(320, 240), kBorder);
}

TEST_F(Modes, LeavingWhenAlreadyRegularChangesNothing) {
    sh.form.setVisible("Picture1", true); // a stray state shows whether the item acted
    sh.form.setVisible("Label2", false);
    const Surface before = sh.surface;
    click("regmode");
    EXPECT_TRUE(sh.form.visible("Picture1"));
    EXPECT_FALSE(sh.form.visible("Label2"));
    EXPECT_TRUE(sh.surface == before);
}

TEST_F(Modes, TimerTicksDrawTheChosenKindExceptInTheSlowWaitOrTheEditor) {
    singleShapeDrawn();
    click("ssaver");
    click("tslow");
    EXPECT_TRUE(sh.form.checked("tslow"));
    EXPECT_FALSE(sh.form.checked("tfast"));
    EXPECT_EQ(sh.st.nwait4, 1);
    frame(); // a slow pass now waits for its Timer2 tick
    ASSERT_EQ(sh.st.hhmmf, 1);
    const RandomState mark = sh.rng.state();
    click("Timer1");
    EXPECT_EQ(sh.rng.state(), mark) << "no shape is started during the wait";
    click("Timer2");
    EXPECT_EQ(sh.st.hhmmf, 0);
    click("Timer1");
    EXPECT_NE(sh.rng.state(), mark);

    sh.st.colormode4 = 1; // the colour editor is open: every tick does nothing
    const RandomState editing = sh.rng.state();
    sh.st.hhmmf = 1;
    click("Timer1");
    click("Timer2");
    EXPECT_EQ(sh.rng.state(), editing);
    EXPECT_EQ(sh.st.hhmmf, 1);
    sh.st.colormode4 = 0;

    click("tfast");
    EXPECT_EQ(sh.st.nwait4, 0);
    EXPECT_TRUE(sh.form.checked("tfast"));
}

TEST_F(Modes, StyleSwitchesDrawAtOnceInScreenSaverMode) {
    click("ssaver");
    click("csingle");
    EXPECT_EQ(sh.st.bbmv, 1);
    EXPECT_TRUE(sh.form.visible("Picture1"));
    EXPECT_EQ(picX(), toInt32(320 - sh.st.swidth / 2));
    click("cpattern");
    EXPECT_EQ(sh.st.bbmv, 2);
    EXPECT_FALSE(sh.form.visible("Picture1"));
}

TEST_F(Modes, RestoringDefaultsInScreenSaverModeSwitchesSingleShapesToAPattern) {
    singleShapeDrawn();
    click("ssaver");
    click("restored");
    EXPECT_EQ(sh.st.mpattern, 1);
    EXPECT_EQ(sh.st.bbmv, 2);
    // Said beside the new pattern's code.
    EXPECT_EQ(platform.lastStatus.rfind("Default settings restored", 0), 0u);
    EXPECT_NE(platform.lastStatus.find(" Drawing "), std::string::npos) << platform.lastStatus;
    EXPECT_FALSE(sh.form.visible("Picture1"));
    // With patterns already chosen nothing is drawn.
    const Surface before = sh.surface;
    click("restored");
    EXPECT_TRUE(sh.surface == before);
}

TEST_F(Modes, QuitEndsTheProgramAndStopsADrawingWaitingForEvents) {
    click("quit");
    EXPECT_TRUE(platform.quitRequested);
    // A drawing whose yield comes after "Quit" stops there.
    const Surface before = sh.surface;
    click("Command1");
    EXPECT_TRUE(sh.surface == before);
}

TEST_F(Modes, APictureNearACornerStaysInsideAtBothSpeeds) {
    singleShapeDrawn();
    click("ssaver");
    sh.st.abb = 1;
    sh.st.dbb = 480 - 100 - 1;
    for (double speed : {0.0, 1.0}) {
        sh.st.nwait4 = speed;
        for (int i = 0; i < 1500; ++i) {
            frame();
            if (sh.st.hhmmf == 1) click("Timer2");
            ASSERT_GE(picX(), -1);
            ASSERT_LE(picX() + 100, 641);
            ASSERT_GE(picY(), -1);
            ASSERT_LE(picY() + 100, 481);
        }
    }
}
