#include "app/events.hpp"
#include "app/panel.hpp"
#include "app/startup.hpp"
#include "app/switches.hpp"
#include "startup_support.hpp"

#include <gtest/gtest.h>

using namespace vx;
using vx::testing::InEmptyFolder;
using vx::testing::ScriptedPlatform;

namespace {

struct Panel : vx::testing::AfterBegin {
    std::string typed(const char* field, const char* text) {
        sh.form.setText(field, text);
        programEvents().keyUp(sh, field, 0);
        return sh.form.text(field);
    }
};

} // namespace

TEST_F(Panel, HideAndShowTheWholePanel) {
    hideOptionsPanel(sh);
    for (auto n :
         {"Command1", "Label2", "Text2", "Label9", "Text9", "Label8", "Text10", "Label3", "Text3",
          "Option1", "Option2", "Label5", "Text5", "Label1", "Text1", "Label4", "Text4"})
        EXPECT_FALSE(sh.form.visible(n)) << n;
    showOptionsPanel(sh);
    EXPECT_TRUE(sh.form.visible("Label2"));
    EXPECT_TRUE(sh.form.visible("Text5"));
    for (auto n : {"Label1", "Text1", "Label4", "Text4"}) EXPECT_FALSE(sh.form.visible(n)) << n;
}

TEST_F(Panel, KeyReleaseCapsOnlyTooLargeNumbers) {
    EXPECT_EQ(typed("Text2", "500"), "400");
    EXPECT_EQ(typed("Text2", "30"), "30");
    EXPECT_EQ(typed("Text2", "401"), "400");
    EXPECT_EQ(typed("Text2", "400"), "400");
    EXPECT_EQ(typed("Text2", "9x9"), "9x9");
    EXPECT_EQ(typed("Text2", "5 00"), "400"); // blanks are ignored
    EXPECT_EQ(typed("Text3", "26"), "25");
    EXPECT_EQ(typed("Text3", ""), "");
    EXPECT_EQ(typed("Text9", "99"), "25");
    EXPECT_EQ(typed("Text9", "0"), "0");
    EXPECT_EQ(typed("Text5", "75"), "50");
    EXPECT_EQ(typed("Text5", "abc"), "abc");
    // Smoothness has no check while typing.
    EXPECT_EQ(typed("Text10", "12"), "12");
}

TEST_F(Panel, ArrowKeysStepTheNumberOfSides) {
    const auto press = [&](int key) {
        text4KeyDown(sh, key);
        return sh.form.text("Text4");
    };
    EXPECT_EQ(press(kKeyLeft), "4");
    EXPECT_EQ(press(kKeyDown), "4");
    EXPECT_EQ(press(kKeyUp), "8");
    EXPECT_EQ(press(kKeyRight), "8");
    EXPECT_EQ(sh.st.ssg, 8);
    EXPECT_EQ(press(kKeyDown), "4");
    EXPECT_EQ(press(kKeyRight), "8");
    EXPECT_EQ(press(kKeyLeft), "4");
    // Any other key shows the stepped value again.
    sh.form.setText("Text4", "47");
    EXPECT_EQ(press('A'), "4");
    EXPECT_EQ(sh.st.ssg, 4);
}

TEST_F(Panel, OptionButtonsChooseRegularOrFancyShapes) {
    option1Click(sh);
    EXPECT_EQ(sh.st.complexy, 1);
    EXPECT_TRUE(sh.form.checked("Option1"));
    EXPECT_FALSE(sh.form.checked("Option2"));
    option2Click(sh);
    EXPECT_EQ(sh.st.complexy, 2);
    EXPECT_FALSE(sh.form.checked("Option1"));
    EXPECT_TRUE(sh.form.checked("Option2"));
}

TEST_F(Panel, CreateDrawsASingleShapeWithTheClampedSize) {
    csingleClick(sh);
    sh.form.setText("Text2", "30");
    command1Click(sh);
    EXPECT_EQ(sh.form.text("Text2"), "40");
    EXPECT_EQ(sh.st.swidth, 40);
    EXPECT_EQ(sh.st.bbmv, 1);
}

TEST_F(Panel, CreateIsNotStartedAgainWhileItRuns) {
    sh.st.mpattern = 7; // neither kind: only the pump runs
    int inner = 0;
    platform.onPump = [&] {
        if (inner++ == 0) command1Click(sh);
    };
    const int before = platform.pumps;
    command1Click(sh);
    EXPECT_EQ(platform.pumps - before, 1);
    platform.onPump = nullptr;
    command1Click(sh); // and it works again afterwards
    EXPECT_EQ(platform.pumps - before, 2);
}

TEST_F(Panel, SwitchingInRegularModeOnlyChangesTheNextDrawing) {
    sh.surface.fillBox(0, 0, 2000, 2000, 4242);
    csingleClick(sh);
    EXPECT_EQ(sh.st.mpattern, 0);
    EXPECT_EQ(sh.st.mpattern2, 0);
    EXPECT_TRUE(sh.form.checked("csingle"));
    EXPECT_FALSE(sh.form.checked("cpattern"));
    sh.form.setEnabled("sscreen", false);
    cpatternClick(sh);
    EXPECT_EQ(sh.st.mpattern, 1);
    EXPECT_EQ(sh.st.mpattern2, 1);
    EXPECT_FALSE(sh.form.checked("csingle"));
    EXPECT_TRUE(sh.form.checked("cpattern"));
    EXPECT_TRUE(sh.form.enabled("sscreen"));
    EXPECT_EQ(sh.surface.pixel(300, 300), 4242);
    EXPECT_FALSE(sh.form.visible("Picture1"));
}

TEST_F(Panel, ChoosingTheCheckedStyleChangesNothing) {
    // Patterns are chosen after "Begin".
    sh.form.setEnabled("sscreen", false);
    sh.st.mpattern2 = 0;
    cpatternClick(sh);
    EXPECT_FALSE(sh.form.enabled("sscreen"));
    EXPECT_EQ(sh.st.mpattern2, 0);

    csingleClick(sh);
    sh.st.mpattern2 = 1;
    sh.form.setChecked("cpattern", true); // a stray mark stays as it is
    csingleClick(sh);
    EXPECT_EQ(sh.st.mpattern2, 1);
    EXPECT_TRUE(sh.form.checked("cpattern"));
}

TEST_F(Panel, SingleShapesInScreenSaverModeStartGlidingFromTheMiddle) {
    sh.st.ssmode = 1;
    sh.form.setText("Text2", "100");
    sh.form.setText("Text5", "75");
    csingleClick(sh);
    EXPECT_EQ(sh.st.bbmv, 1); // a shape was drawn at once
    EXPECT_TRUE(sh.form.visible("Picture1"));
    EXPECT_EQ(sh.form.get("Picture1").w, 102);
    EXPECT_EQ(sh.form.get("Picture1").h, 102);
    EXPECT_EQ(sh.form.text("Text5"), "50");
    EXPECT_EQ(sh.form.get("Timer1").interval, 50000);
    EXPECT_EQ(sh.st.abb, std::floor(sh.surface.width() / 2.0) - 50);
    EXPECT_EQ(sh.st.dbb, std::floor(sh.surface.height() / 2.0) - 50);
    EXPECT_EQ(sh.form.get("Picture1").x, sh.st.abb);
    EXPECT_EQ(std::fabs(sh.st.awb), 0.01);
    EXPECT_EQ(std::fabs(sh.st.bwb), 0.01);
}
