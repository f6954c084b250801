// The pattern run as a user sees it: fields, state after the run, menus, timer, the pattern.
#include "app/events.hpp"
#include "app/generators.hpp"

#include "symmetry.hpp"

#include <gtest/gtest.h>

using namespace vx;

namespace {

struct CountingPlatform : Platform {
    int pumps = 0, maximised = 0;
    void pumpEvents() override { ++pumps; }
    void maximise() override { ++maximised; }
};

void setFields(Shapes& sh, const char* size, const char* detail = "16",
               const char* complexity = "1", const char* smooth = "2") {
    sh.form.setText("Text2", size);
    sh.form.setText("Text3", detail);
    sh.form.setText("Text9", complexity);
    sh.form.setText("Text10", smooth);
}

// Every pixel right of and below the top-left corner repeats the copy at (1, 1) with period
// s - 1, and that copy's frame and inside are symmetric under the eight symmetries.
::testing::AssertionResult tiledSymmetric(const Surface& sf, int s) {
    const int p = s - 1, c = s / 2; // local centre of the copy at (1, 1) is (c, c)
    for (int y = 0; y < sf.height(); ++y)
        for (int x = 0; x < sf.width(); ++x) {
            const int32_t v = sf.pixel(x, y);
            if (x == 0 || y == 0) {
                if (v != kBorder) return ::testing::AssertionFailure() << "edge " << x << "," << y;
                continue;
            }
            if (v != sf.pixel(1 + (x - 1) % p, 1 + (y - 1) % p))
                return ::testing::AssertionFailure() << "copy differs at " << x << "," << y;
        }
    return vx::testing::eightFold(sf, c, c, s / 2 - 1);
}

} // namespace

TEST(PatternRun, SizeIsRoundedForTheRunButTheFieldAndSwidthKeepTheClampedValue) {
    struct Case {
        const char* typed;
        const char* shown;
        double swidth;
        int run;
    };
    for (const Case& c :
         {Case{"47", "47", 47, 40}, Case{"39", "40", 40, 40}, Case{"400", "400", 400, 400},
          Case{"1000", "400", 400, 400}, Case{"255", "255", 255, 250}, Case{"abc", "40", 40, 40}}) {
        Shapes sh;
        sh.surface = Surface(900, 700);
        sh.rng.seed(11);
        setFields(sh, c.typed);
        makeshape2(sh);
        EXPECT_EQ(sh.form.text("Text2"), c.shown) << c.typed;
        EXPECT_EQ(sh.st.swidth, c.swidth) << c.typed;
        EXPECT_EQ(sh.form.get("Picture1").w, c.run + 2) << c.typed;
        EXPECT_TRUE(tiledSymmetric(sh.surface, c.run)) << c.typed;
    }
}

TEST(PatternRun, OtherFieldsAreClampedAndWrittenBack) {
    Shapes sh;
    sh.surface = Surface(600, 500);
    setFields(sh, "200", "30", "0", "12");
    sh.form.setText("Text1", "25");
    sh.form.setText("Text5", "0");
    makeshape2(sh);
    EXPECT_EQ(sh.form.text("Text3"), "25");
    EXPECT_EQ(sh.form.text("Text9"), "1");
    EXPECT_EQ(sh.form.text("Text10"), "9");
    EXPECT_EQ(sh.form.text("Text1"), "20");
    EXPECT_EQ(sh.form.text("Text5"), "1");
    EXPECT_EQ(sh.st.detailf, 25);
    EXPECT_EQ(sh.st.complexy2, 20);
    EXPECT_EQ(sh.st.sharpf, 9);
}

TEST(PatternRun, DerivedValuesOfTheRun) {
    struct Case {
        const char *size, *detail, *complexity, *smooth;
        double detailfz, limit, circle2;
    };
    for (const Case& c :
         {Case{"200", "16", "1", "2", 10, 50, 1}, Case{"200", "16", "25", "2", 10, 146, 1},
          Case{"40", "25", "1", "1", 0, 10, 0}, Case{"400", "1", "1", "9", 50, 100, 1},
          Case{"47", "16", "1", "2", 2, 11.75, 1}}) {
        Shapes sh;
        sh.surface = Surface(600, 500);
        setFields(sh, c.size, c.detail, c.complexity, c.smooth);
        const PatternRun run = makeshape2(sh);
        EXPECT_EQ(run.turnPeriod, c.detailfz) << c.size << " " << c.detail;
        EXPECT_DOUBLE_EQ(run.hitLimit, c.limit) << c.size << " " << c.complexity;
        EXPECT_EQ(run.circle, c.circle2 == 1) << c.smooth;
        EXPECT_EQ(sh.st.sharpf, fieldNumber(c.smooth)) << "smoothness is given back";
        EXPECT_EQ(sh.st.centerf, 0);
        EXPECT_LE(run.hits, run.hitLimit);
    }
}

TEST(PatternRun, EndStateMenusAndTimer) {
    for (bool timerOn : {false, true}) {
        CountingPlatform plat;
        Shapes sh(plat);
        sh.surface = Surface(500, 400);
        sh.st.mpattern = 1;
        sh.st.nosave = 1;
        sh.form.setEnabled("pscreen", false);
        sh.form.setEnabled("sscreen", false);
        sh.form.setVisible("Picture1", true);
        sh.form.setEnabled("Timer1", timerOn);
        sh.form.selectOption("Option1", {"Option1", "Option2"});
        makeshape2(sh);
        EXPECT_EQ(sh.st.bbmv, 2);
        EXPECT_EQ(sh.st.nosave, 0);
        EXPECT_EQ(sh.st.mpattern2, 1);
        EXPECT_EQ(sh.st.ggbbc, 1);
        EXPECT_EQ(sh.st.complexy, 1);
        EXPECT_TRUE(sh.form.enabled("pscreen"));
        EXPECT_TRUE(sh.form.enabled("sscreen"));
        EXPECT_FALSE(sh.form.visible("Picture1"));
        EXPECT_EQ(sh.form.enabled("Timer1"), timerOn);
        EXPECT_EQ(plat.maximised, 1);
        EXPECT_EQ(plat.pumps, 0) << "no yield before the main page is left";
    }
}

TEST(PatternRun, YieldsOnceAfterTheMainPage) {
    CountingPlatform plat;
    Shapes sh(plat);
    sh.surface = Surface(300, 300);
    sh.st.ffb = 1;
    makeshape2(sh);
    EXPECT_EQ(plat.pumps, 1);
    sh.form.selectOption("Option2", {"Option1", "Option2"});
    makeshape2(sh);
    EXPECT_EQ(sh.st.complexy, 2);
}

TEST(PatternRun, EightSidesTileOnlyTheFrameAndCentreBeforeColouring) {
    Shapes sh;
    sh.surface = Surface(420, 400);
    sh.form.setText("Text4", "8");
    setFields(sh, "100");
    EXPECT_EQ(makeshape2(sh).hits, 0);
    EXPECT_EQ(sh.st.nsides, 8);
    // The copy at (1, 1): frame on columns/rows 1 and 99, the centre dot at (50, 50).
    EXPECT_EQ(sh.surface.pixel(1, 50), kBorder);
    EXPECT_EQ(sh.surface.pixel(99, 50), kBorder);
    EXPECT_EQ(sh.surface.pixel(50, 50), kBorder);
    EXPECT_TRUE(tiledSymmetric(sh.surface, 100));
}

TEST(PatternRun, BoundedAttemptsEndWithAPlainTileAndAMessage) {
    Shapes sh;
    sh.surface = Surface(500, 500);
    setFields(sh, "400");
    sh.form.setEnabled("Timer1", true);
    sh.form.setEnabled("pscreen", false);
    PatternLimits lim;
    lim.maxSteps = 3; // no walk can cross 200 pixels
    lim.relaxAfter = 1;
    lim.maxAttempts = 4;
    makeshape2(sh, lim);
    EXPECT_FALSE(sh.platform->lastStatus.empty());
    EXPECT_TRUE(sh.form.enabled("Timer1"));
    EXPECT_TRUE(sh.form.enabled("pscreen"));
    EXPECT_EQ(sh.st.swidth, 400);
    EXPECT_EQ(sh.st.sharpf, 2);
    EXPECT_TRUE(tiledSymmetric(sh.surface, 400));
}

TEST(PatternRun, SameSeedSamePattern) {
    Shapes a, b;
    a.surface = Surface(640, 480);
    b.surface = Surface(640, 480);
    a.rng.seed(77);
    b.rng.seed(77);
    makeshape2(a);
    makeshape2(b);
    EXPECT_TRUE(a.surface == b.surface);
}

TEST(PatternProperty, EveryCopyEqualsASymmetricTileOverManySeeds) {
    const char* details[] = {"1", "8", "16", "25"};
    const char* smooths[] = {"1", "2", "3", "5", "9"};
    const char* complexities[] = {"1", "4", "25"};
    for (uint64_t seed = 1; seed <= 500; ++seed) {
        Shapes sh;
        sh.surface = Surface(430 + static_cast<int>(seed % 13), 420 + static_cast<int>(seed % 11));
        sh.rng.seed(seed * 7919);
        const int size = 40 + static_cast<int>(seed * 37 % 361);
        const std::string sizeText = std::to_string(size);
        setFields(sh, sizeText.c_str(), details[seed % 4], complexities[seed % 3],
                  smooths[seed % 5]);
        sh.form.selectOption(seed % 2 ? "Option1" : "Option2", {"Option1", "Option2"});
        sh.form.setText("Text4", seed % 17 == 0 ? "8" : "4");
        sh.st.tcolor = static_cast<double>(seed % 2);
        sh.st.tcolor2 = static_cast<double>(seed % 3 == 0);
        sh.st.colorlist[1] = seed % 5 == 0 ? -3 : 255;
        sh.st.colorlist[2] = 65280;
        makeshape2(sh);
        const int s = size / 10 * 10;
        ASSERT_TRUE(tiledSymmetric(sh.surface, s)) << "seed " << seed << " size " << size;
        ASSERT_EQ(sh.st.swidth, size);
        ASSERT_EQ(sh.form.text("Text2"), sizeText);
    }
}

TEST(PatternRun, CreateButtonDrawsAPatternWhenPatternsAreChosen) {
    CountingPlatform plat;
    Shapes sh(plat);
    sh.surface = Surface(400, 300);
    sh.st.mpattern = 1;
    ASSERT_TRUE(programEvents().click(sh, "Command1"));
    EXPECT_EQ(sh.st.bbmv, 2);
    EXPECT_EQ(sh.st.mpattern2, 1);
    EXPECT_EQ(plat.pumps, 1) << "the button lets events run first";
    EXPECT_TRUE(tiledSymmetric(sh.surface, 200));
}
