#include "app/startup.hpp"
#include "startup_support.hpp"

#include <gtest/gtest.h>

using namespace vx;
using vx::testing::InEmptyFolder;
using vx::testing::ScriptedPlatform;

namespace {

const char* const kPanelShown[] = {"Command1", "Label2", "Text2",  "Label9", "Text9",
                                   "Label8",   "Text10", "Label3", "Text3",  "Option1",
                                   "Option2",  "Label5", "Text5"};
const char* const kNeverShown[] = {"Label1", "Text1", "Label4", "Text4"};

std::vector<std::string> visibleTopMenus(const Shapes& sh) {
    std::vector<std::string> out;
    for (const auto& m : sh.form.menuChildren(""))
        if (sh.form.visible(m)) out.push_back(m);
    return out;
}

struct Started : ::testing::Test {
    InEmptyFolder folder;
    ScriptedPlatform platform;
    Shapes sh{platform};
    void SetUp() override { startup(sh); }
    void begin() {
        command4Click(sh);
        mainLoopTick(sh);
    }
};

} // namespace

TEST_F(Started, MainPageShowsOnlyBeginAndChangesPatternEveryFiveSeconds) {
    EXPECT_EQ(sh.loop.phase, kMainPage);
    EXPECT_TRUE(sh.form.visible("Command4"));
    for (auto n : kPanelShown) EXPECT_FALSE(sh.form.visible(n)) << n;
    EXPECT_TRUE(visibleTopMenus(sh).empty());
    EXPECT_TRUE(sh.form.enabled("Timer6"));
    EXPECT_EQ(sh.form.get("Timer6").interval, 5000);
    EXPECT_FALSE(sh.form.enabled("Timer1"));
    EXPECT_FALSE(sh.form.enabled("Timer2"));
    // The main page's patterns are small ones.
    EXPECT_EQ(sh.form.text("Text2"), "100");
    EXPECT_EQ(sh.st.swidth, 100);
}

TEST_F(Started, StartValuesWithoutSettingsFile) {
    const State& st = sh.st;
    EXPECT_EQ(st.sharpf, 2);
    EXPECT_EQ(st.tcolor, 1);
    EXPECT_EQ(st.tcolor2, 1);
    EXPECT_EQ(st.detailf, 16);
    EXPECT_EQ(st.complexy, 2);
    EXPECT_EQ(st.numcolors, 1);
    EXPECT_EQ(st.ntimes, 10);
    EXPECT_EQ(st.nwait4, 0);
    EXPECT_EQ(st.centerf, 0);
    EXPECT_EQ(st.ssg, 4);
    EXPECT_EQ(st.swidth999, 0);
    EXPECT_TRUE(sh.form.checked("Option2"));
    EXPECT_FALSE(sh.form.checked("Option1"));
}

TEST(StartupSeed, TheClockSeedsTheRandomSource) {
    InEmptyFolder folder;
    ScriptedPlatform p1, p2, p3;
    p2.clock = p1.clock;
    p3.clock = p1.clock + 1;
    Shapes a(p1), b(p2), c(p3);
    startup(a);
    startup(b);
    startup(c);
    const double ra = a.rng.next(), rb = b.rng.next(), rc = c.rng.next();
    EXPECT_EQ(ra, rb);
    EXPECT_NE(ra, rc);
}

TEST_F(Started, BeginBlanksOnlyTheBoxUpTo1000AndShowsThePanel) {
    // A window wider and taller than 1000 keeps the main page's picture outside the box.
    sh.surface.resize(1200, 1100);
    sh.surface.fillBox(0, 0, 1300, 1300, kWhite);
    command4Click(sh);
    EXPECT_EQ(sh.surface.pixel(0, 0), kBorder);
    EXPECT_EQ(sh.surface.pixel(1000, 1000), kBorder);
    EXPECT_EQ(sh.surface.pixel(1001, 500), kWhite);
    EXPECT_EQ(sh.surface.pixel(500, 1001), kWhite);

    EXPECT_FALSE(sh.form.enabled("Timer6"));
    EXPECT_FALSE(sh.form.visible("Command4"));
    for (auto n : kPanelShown) EXPECT_TRUE(sh.form.visible(n)) << n;
    for (auto n : kNeverShown) EXPECT_FALSE(sh.form.visible(n)) << n;
    EXPECT_EQ(visibleTopMenus(sh), (std::vector<std::string>{"options", "patmode", "history",
                                                             "export", "explore", "palettes"}));
    EXPECT_TRUE(sh.form.visible("editcolors"));
    // The first drawing waits for the loop, as the main page's wait did.
    EXPECT_EQ(sh.st.ffb, 0);
}

TEST_F(Started, FirstDrawingAfterBeginSetsThePatternModeAndPositions) {
    sh.form.setChecked("csingle", true);
    sh.form.setChecked("cpattern", false);
    begin();
    const State& st = sh.st;
    EXPECT_EQ(sh.loop.phase, kMainLoop);
    EXPECT_EQ(st.ffb, 1);
    EXPECT_EQ(st.mpattern, 1);
    EXPECT_EQ(st.mpattern2, 1);
    EXPECT_TRUE(sh.form.checked("cpattern"));
    EXPECT_FALSE(sh.form.checked("csingle"));
    EXPECT_EQ(sh.form.text("Text2"), "200");
    EXPECT_EQ(st.swidth, 200);
    for (auto m : {"options", "patmode", "moptions5"}) EXPECT_TRUE(sh.form.enabled(m)) << m;
    EXPECT_FALSE(sh.form.visible("moptions5"));

    // The moving picture goes one hundredth of a pixel a pass.
    EXPECT_EQ(std::fabs(st.awb), 0.01);
    EXPECT_EQ(std::fabs(st.bwb), 0.01);
}

TEST_F(Started, TheMainPageIsLeftOnlyOnceAndTimer6StaysOff) {
    begin();
    const int pumps = platform.pumps;
    command4Click(sh); // a stray second click
    mainLoopTick(sh);
    EXPECT_FALSE(sh.form.enabled("Timer6"));
    EXPECT_FALSE(sh.form.visible("Command4"));
    EXPECT_EQ(platform.pumps, pumps); // no second first drawing
}

TEST_F(Started, Timer6DoesNothingWhileTheColourEditorIsOpenOrAfterBegin) {
    sh.st.colormode4 = 1;
    sh.surface.fillBox(0, 0, 2000, 2000, 12345);
    timer6Tick(sh);
    EXPECT_EQ(sh.surface.pixel(10, 10), 12345);
    sh.st.colormode4 = 0;
    begin();
    sh.surface.fillBox(0, 0, 2000, 2000, 12345);
    timer6Tick(sh);
    EXPECT_EQ(sh.surface.pixel(10, 10), 12345);
}

TEST(StartupBegin, BeginDuringThePreparationStillLeadsToTheFirstDrawing) {
    InEmptyFolder folder;
    ScriptedPlatform p;
    Shapes sh(p);
    // Pressed while the first main-page pattern was drawn.
    command4Click(sh);
    startup(sh);
    EXPECT_FALSE(sh.form.enabled("Timer6"));
    EXPECT_EQ(sh.loop.phase, kMainPage);
    mainLoopTick(sh);
    EXPECT_EQ(sh.loop.phase, kMainLoop);
    EXPECT_EQ(sh.st.ffb, 1);
}

TEST(StartupBegin, NoLoopPassesBeforeBegin) {
    InEmptyFolder folder;
    ScriptedPlatform p;
    Shapes sh(p);
    startup(sh);
    sh.st.mpattern2 = 0;
    sh.st.abb = 50;
    sh.st.awb = 0.01;
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(mainLoopTick(sh));
    EXPECT_EQ(sh.st.abb, 50);
    EXPECT_EQ(sh.loop.phase, kMainPage);
}
