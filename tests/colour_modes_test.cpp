#include "app/colourmenu.hpp"
#include "app/events.hpp"

#include <gtest/gtest.h>

using namespace vx;

namespace {

int32_t rgb(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}

struct Marks {
    bool basic, truec, user;
    bool operator==(const Marks&) const = default;
};

Marks marks(const Shapes& sh) {
    return {sh.form.checked("bcolor7"), sh.form.checked("tcolor7"), sh.form.checked("ucolors")};
}

// The window as start-up leaves it: user-defined colours.
struct ModeMenu : ::testing::Test {
    Shapes sh;
    void SetUp() override {
        sh.st.tcolor = 1;
        sh.st.tcolor2 = 1;
    }
    void click(const char* item) { ASSERT_TRUE(programEvents().click(sh, item)) << item; }
};

} // namespace

TEST_F(ModeMenu, StartsWithUserColoursChecked) {
    EXPECT_EQ(marks(sh), (Marks{false, false, true}));
}

TEST_F(ModeMenu, BasicColourSwitchesBothSwitchesOffAndMovesTheMark) {
    click("bcolor7");
    EXPECT_EQ(sh.st.tcolor, 0);
    EXPECT_EQ(sh.st.tcolor2, 0);
    EXPECT_EQ(marks(sh), (Marks{true, false, false}));
}

TEST_F(ModeMenu, ChoosingTheModeThatIsOnChangesNothing) {
    click("bcolor7");
    sh.form.setChecked("ucolors", true); // a stray mark shows whether the item acted
    click("bcolor7");
    EXPECT_EQ(marks(sh), (Marks{true, false, true}));

    sh.st.tcolor = 1;
    sh.st.tcolor2 = 0;
    sh.form.setChecked("bcolor7", true);
    click("tcolor7");
    EXPECT_EQ(marks(sh), (Marks{true, false, true}));

    sh.st.tcolor2 = 1;
    sh.form.setChecked("tcolor7", true);
    click("ucolors");
    EXPECT_EQ(marks(sh), (Marks{true, true, true}));
}

TEST_F(ModeMenu, TrueColourTurnsRecolouringOffAndUserColoursBackOnWithTheSameList) {
    sh.st.colorlist[1] = rgb(255, 0, 0);
    sh.st.colorlist[2] = -3;
    click("tcolor7");
    EXPECT_EQ(sh.st.tcolor, 1);
    EXPECT_EQ(sh.st.tcolor2, 0);
    EXPECT_EQ(marks(sh), (Marks{false, true, false}));
    click("ucolors");
    EXPECT_EQ(sh.st.tcolor, 1);
    EXPECT_EQ(sh.st.tcolor2, 1);
    EXPECT_EQ(marks(sh), (Marks{false, false, true}));
    EXPECT_EQ(sh.st.colorlist[1], rgb(255, 0, 0));
    EXPECT_EQ(sh.st.colorlist[2], -3);
    EXPECT_EQ(sh.st.colorlist[3], 0);
}

TEST_F(ModeMenu, TrueColourActsWhenTheImportedScaleIsOn) {
    sh.st.tcolor = 2;
    sh.st.tcolor2 = 0;
    click("tcolor7");
    EXPECT_EQ(sh.st.tcolor, 1);
    EXPECT_EQ(marks(sh), (Marks{false, true, false}));
}

TEST_F(ModeMenu, ImportedScaleNeedsAScaleAndThenClearsEveryMark) {
    EXPECT_FALSE(selectImportedScale(sh));
    EXPECT_EQ(sh.st.tcolor, 1);
    EXPECT_FALSE(sh.platform->lastStatus.empty());
    EXPECT_EQ(marks(sh), (Marks{false, false, true}));

    sh.st.cgf = 2;
    sh.st.importcolors[1] = rgb(10, 20, 30);
    sh.st.importcolors[2] = rgb(40, 50, 60);
    EXPECT_TRUE(selectImportedScale(sh));
    EXPECT_EQ(sh.st.tcolor, 2);
    EXPECT_EQ(sh.st.tcolor2, 1);
    EXPECT_EQ(marks(sh), (Marks{false, false, false}));
    click("bcolor7");
    EXPECT_EQ(marks(sh), (Marks{true, false, false}));
}
