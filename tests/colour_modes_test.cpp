#include "colour/colourdata.hpp"
#include "core/events.hpp"

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

TEST(ShadeTables, HoldTheTabulatedShadesInSlotsOneToTwenty) {
    State st;
    fillShadeTables(st);
    EXPECT_EQ(st.blueshades[1], rgb(187, 187, 255));
    EXPECT_EQ(st.blueshades[12], rgb(0, 0, 255));
    EXPECT_EQ(st.blueshades[20], rgb(0, 0, 119));
    EXPECT_EQ(st.redshades[1], rgb(255, 187, 187));
    EXPECT_EQ(st.redshades[13], rgb(238, 0, 0));
    EXPECT_EQ(st.purpleshades[11], rgb(255, 17, 255));
    EXPECT_EQ(st.purpleshades[19], rgb(136, 0, 136));
    EXPECT_EQ(st.yellowshades[6], rgb(255, 255, 102));
    EXPECT_EQ(st.yellowshades[14], rgb(221, 221, 0));
    EXPECT_EQ(st.brownshades[1], rgb(255, 230, 204));
    EXPECT_EQ(st.brownshades[9], rgb(255, 162, 68));
    EXPECT_EQ(st.brownshades[13], rgb(255, 128, 0));
    EXPECT_EQ(st.brownshades[20], rgb(136, 68, 0));
    EXPECT_EQ(st.greyshades[1], rgb(221, 221, 221));
    EXPECT_EQ(st.greyshades[12], rgb(127, 127, 127));
    EXPECT_EQ(st.greyshades[20], rgb(59, 59, 59));
    for (auto* t : {&st.blueshades, &st.redshades, &st.greenshades, &st.purpleshades,
                    &st.yellowshades, &st.brownshades, &st.greyshades}) {
        EXPECT_EQ((*t)[0], 0);
        for (size_t i = 21; i < t->size(); ++i) EXPECT_EQ((*t)[i], 0) << i;
    }
}

TEST(ShadeTables, GreenSkipsFromOneThirtySixStraightToOneHundredAndTwo) {
    State st;
    fillShadeTables(st);
    const int expected[21] = {0,  204, 187, 170, 153, 136, 102, 85, 68, 51, 34,
                              17, 0,   0,   0,   0,   0,   0,   0,  0,  0};
    for (int i = 1; i <= 12; ++i) EXPECT_EQ(st.greenshades[i], rgb(expected[i], 255, expected[i]));
    EXPECT_EQ(st.greenshades[5], rgb(136, 255, 136));
    EXPECT_EQ(st.greenshades[6], rgb(102, 255, 102));
    for (int i = 13; i <= 20; ++i) EXPECT_EQ(st.greenshades[i], rgb(0, 238 - 17 * (i - 13), 0));
    // Blue, for comparison, has the 119 step.
    EXPECT_EQ(st.blueshades[5], rgb(119, 119, 255));
    EXPECT_EQ(st.blueshades[6], rgb(102, 102, 255));
}

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
