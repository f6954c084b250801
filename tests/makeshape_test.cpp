#include "app/generators.hpp"
#include "symmetry.hpp"

#include <gtest/gtest.h>

using namespace vx;
using vx::testing::eightFold;

namespace {

struct MakeShape : ::testing::Test {
    Shapes sh;
    void SetUp() override {
        sh.surface.resize(640, 480);
        sh.rng.seed(12345);
    }
    int cx() const { return sh.surface.width() / 2; }
    int cy() const { return sh.surface.height() / 2; }
};

} // namespace

TEST_F(MakeShape, StartFieldsGiveTheDocumentedRunParameters) {
    const ShapeRun run = makeshape(sh);
    const State& st = sh.st;
    EXPECT_EQ(st.swidth, 200);
    EXPECT_EQ(run.turnPeriod, 10);
    EXPECT_EQ(run.hitLimit, 50);
    EXPECT_EQ(run.smoothLevel, 1);
    EXPECT_TRUE(run.circle);
    EXPECT_FALSE(run.deepChain);
    EXPECT_EQ(st.sharpf, 2); // given back after the run
    EXPECT_EQ(st.complexy, 2);
    EXPECT_EQ(st.nsides, 4);
    EXPECT_EQ(st.centerf, 0);
    EXPECT_TRUE(run.closed);
    for (auto [f, t] : {std::pair{"Text2", "200"},
                        {"Text3", "16"},
                        {"Text9", "1"},
                        {"Text10", "2"},
                        {"Text1", "0"},
                        {"Text5", "10"}})
        EXPECT_EQ(sh.form.text(f), t) << f;
}

TEST_F(MakeShape, SizeIsRoundedToTensForTheDrawingOnly) {
    sh.form.setText("Text2", "255");
    EXPECT_EQ(makeshape(sh).runSize, 250);
    EXPECT_EQ(sh.form.text("Text2"), "255");
    EXPECT_EQ(sh.st.swidth, 255);
    EXPECT_EQ(sh.picture1.width(), 252);
    EXPECT_EQ(sh.form.get("Picture1").w, 252);
}

TEST_F(MakeShape, FieldsAreClampedAndWrittenBack) {
    sh.form.setText("Text2", "1000");
    sh.form.setText("Text3", "");
    sh.form.setText("Text9", "99999999999");
    sh.form.setText("Text10", "-5");
    sh.form.setText("Text1", "30");
    sh.form.setText("Text5", "0");
    makeshape(sh);
    EXPECT_EQ(sh.form.text("Text2"), "400");
    EXPECT_EQ(sh.form.text("Text3"), "1");
    EXPECT_EQ(sh.form.text("Text9"), "25");
    EXPECT_EQ(sh.form.text("Text10"), "1");
    EXPECT_EQ(sh.form.text("Text1"), "20");
    EXPECT_EQ(sh.form.text("Text5"), "1");
    EXPECT_EQ(sh.st.complexy2, 20);
}

TEST_F(MakeShape, FractionsInsideTheRangeStayAsTyped) {
    sh.form.setText("Text3", "12.5abc");
    makeshape(sh);
    EXPECT_EQ(sh.form.text("Text3"), "12.5");
    EXPECT_EQ(sh.st.detailf, 12.5);
}

TEST_F(MakeShape, DetailSetsTheTurnPeriod) {
    sh.form.setText("Text3", "25");
    EXPECT_EQ(makeshape(sh).turnPeriod, 1);
    sh.form.setText("Text3", "1");
    sh.form.setText("Text2", "400");
    EXPECT_EQ(makeshape(sh).turnPeriod, 50);
}

TEST_F(MakeShape, ComplexitySetsTheHitLimit) {
    sh.form.setText("Text9", "25");
    EXPECT_EQ(makeshape(sh).hitLimit, 146);
}

TEST_F(MakeShape, SmoothnessChoosesTheChain) {
    sh.form.setText("Text10", "1");
    ShapeRun run = makeshape(sh);
    EXPECT_EQ(run.smoothLevel, 0);
    EXPECT_FALSE(run.circle);
    sh.form.setText("Text10", "9");
    run = makeshape(sh);
    EXPECT_EQ(run.smoothLevel, 8);
    EXPECT_TRUE(run.deepChain);
    EXPECT_EQ(sh.st.sharpf, 9);
}

TEST_F(MakeShape, RegularButtonGivesComplexyOne) {
    sh.form.selectOption("Option1", {"Option1", "Option2"});
    makeshape(sh);
    EXPECT_EQ(sh.st.complexy, 1);
}

TEST_F(MakeShape, FinishLeavesTheShapeInPicture1AndTheMenusReady) {
    sh.form.setEnabled("pscreen", true);
    sh.form.setEnabled("sscreen", false);
    sh.form.setEnabled("Timer1", true);
    sh.st.mpattern = 0;
    sh.st.nosave = 1;
    makeshape(sh);
    EXPECT_EQ(sh.st.bbmv, 1);
    EXPECT_EQ(sh.st.nosave, 0);
    EXPECT_EQ(sh.st.mpattern2, 0);
    EXPECT_FALSE(sh.form.enabled("pscreen"));
    EXPECT_TRUE(sh.form.enabled("sscreen"));
    EXPECT_TRUE(sh.form.enabled("Timer1"));
    EXPECT_FALSE(sh.form.visible("Picture1"));
    // Picture1 holds the square whose top-left corner is one pixel inside the shape square.
    const int s = 200, x0 = cx() - s / 2 + 1, y0 = cy() - s / 2 + 1;
    for (int y = 0; y < s; y += 7)
        for (int x = 0; x < s; x += 3)
            ASSERT_EQ(sh.picture1.pixel(x + 1, y + 1), sh.surface.pixel(x0 + x, y0 + y));
}

TEST_F(MakeShape, ScreenSaverModeShowsOnlyPicture1) {
    sh.st.ssmode = 1;
    makeshape(sh);
    EXPECT_TRUE(sh.form.visible("Picture1"));
    for (int y = 0; y < sh.surface.height(); y += 5)
        for (int x = 0; x < sh.surface.width(); x += 5) ASSERT_EQ(sh.surface.pixel(x, y), kBorder);
}

TEST_F(MakeShape, DriftChangesOnlyWithTheSize) {
    sh.st.mpattern = 0;
    makeshape(sh); // the first run always differs from swidth999 = 0
    EXPECT_EQ(sh.st.abb, cx() - 100);
    EXPECT_EQ(sh.st.dbb, cy() - 100);
    EXPECT_EQ(sh.form.get("Picture1").x, cx() - 100);
    EXPECT_EQ(std::abs(sh.st.awb), 0.01);
    sh.st.abb = 7;
    sh.form.setText("Text3", "5");
    makeshape(sh);
    EXPECT_EQ(sh.st.abb, 7);
    sh.form.setText("Text2", "300");
    makeshape(sh);
    EXPECT_EQ(sh.st.abb, cx() - 150);
    EXPECT_EQ(sh.st.ggbbc, 0);
}

TEST_F(MakeShape, WindowSmallerThanTheShapeStillGivesADrawing) {
    sh.surface.resize(90, 60);
    sh.form.setText("Text2", "400");
    EXPECT_TRUE(makeshape(sh).closed);
    EXPECT_EQ(sh.picture1.width(), 402);
}

TEST_F(MakeShape, NonNumericSidesDrawLikeFour) {
    sh.form.setText("Text4", "zz");
    makeshape(sh);
    EXPECT_EQ(sh.st.nsides, 0);
    EXPECT_TRUE(eightFold(sh.surface, cx(), cy(), 100));
}

// Over many seeds and settings: every outline closes (the outside fill never reaches the
// inside) and is exactly symmetric under the eight symmetries of the square.
TEST(ShapeProperty, OutlinesAreClosedAndEightFoldSymmetric) {
    const char* sizes[] = {"40", "100", "200", "255", "400"};
    const char* details[] = {"1", "16", "25"};
    const char* smooth[] = {"1", "2", "3", "9"};
    const char* sides[] = {"4", "8", "4", "0"};
    for (int seed = 1; seed <= 500; ++seed) {
        Shapes sh;
        sh.surface.resize(seed % 2 ? 501 : 640, seed % 3 ? 480 : 423);
        sh.rng.seed(seed);
        sh.form.setText("Text2", sizes[seed % 5]);
        sh.form.setText("Text3", details[seed % 3]);
        sh.form.setText("Text10", smooth[seed % 4]);
        sh.form.setText("Text9", seed % 7 ? "1" : "25");
        sh.form.setText("Text4", sides[(seed / 5) % 4]);
        if (seed % 2) sh.form.selectOption("Option1", {"Option1", "Option2"});
        const ShapeRun run = makeshape(sh);
        ASSERT_TRUE(run.closed) << seed;
        const int cx = sh.surface.width() / 2, cy = sh.surface.height() / 2;
        const int h = run.runSize / 2;
        ASSERT_TRUE(eightFold(sh.surface, cx, cy, h)) << "seed " << seed;
        // The rim of the square holds no white pixel reachable from outside: fill the
        // outside and check that something inside stayed untouched.
        Surface s = sh.surface;
        s.box(-10, -10, s.width() + 10, s.height() + 10, kBorder);
        s.setFillColor(kBorder);
        s.floodFill(1, 1, kBorder);
        int inside = 0;
        for (int j = -h; j <= h; ++j)
            for (int i = -h; i <= h; ++i) inside += s.pixel(cx + i, cy + j) != kBorder;
        ASSERT_GT(inside, 0) << "seed " << seed;
        for (int i = -h; i <= h; ++i) {
            ASSERT_EQ(s.pixel(cx + i, cy - h), kBorder) << seed;
            ASSERT_EQ(s.pixel(cx - h, cy + i), kBorder) << seed;
        }
    }
}
