#include "shape/makeshape.hpp"
#include "shape/tracer.hpp"
#include "symmetry.hpp"

#include <gtest/gtest.h>

using namespace vx;
using vx::testing::eightFold;

namespace {

struct ShapeRun : ::testing::Test {
    Shapes sh;
    void SetUp() override {
        sh.surface.resize(640, 480);
        sh.rng.seed(12345);
    }
    int cx() const { return sh.surface.width() / 2; }
    int cy() const { return sh.surface.height() / 2; }
};

} // namespace

TEST_F(ShapeRun, StartFieldsGiveTheDocumentedRunParameters) {
    makeshape(sh);
    const State& st = sh.st;
    EXPECT_EQ(st.swidth, 200);
    EXPECT_EQ(st.detailfz, 10);
    EXPECT_EQ(st.complexy4, 50);
    EXPECT_EQ(st.lastRun.smoothLevel, 1);
    EXPECT_EQ(st.circle2, 1);
    EXPECT_FALSE(st.lastRun.deepChain);
    EXPECT_EQ(st.sharpf, 2); // given back after the run
    EXPECT_EQ(st.complexy, 2);
    EXPECT_EQ(st.nsides, 4);
    EXPECT_EQ(st.centerf, 0);
    EXPECT_TRUE(st.lastRun.closed);
    for (auto [f, t] : {std::pair{"Text2", "200"},
                        {"Text3", "16"},
                        {"Text9", "1"},
                        {"Text10", "2"},
                        {"Text1", "0"},
                        {"Text5", "10"}})
        EXPECT_EQ(sh.form.text(f), t) << f;
}

TEST_F(ShapeRun, SizeIsRoundedToTensForTheDrawingOnly) {
    sh.form.setText("Text2", "255");
    makeshape(sh);
    EXPECT_EQ(sh.st.lastRun.runSize, 250);
    EXPECT_EQ(sh.form.text("Text2"), "255");
    EXPECT_EQ(sh.st.swidth, 255);
    EXPECT_EQ(sh.picture1.width(), 252);
    EXPECT_EQ(sh.form.get("Picture1").w, 252);
}

TEST_F(ShapeRun, FieldsAreClampedAndWrittenBack) {
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

TEST_F(ShapeRun, FractionsInsideTheRangeStayAsTyped) {
    sh.form.setText("Text3", "12.5abc");
    makeshape(sh);
    EXPECT_EQ(sh.form.text("Text3"), "12.5");
    EXPECT_EQ(sh.st.detailf, 12.5);
}

TEST_F(ShapeRun, DetailSetsTheTurnPeriod) {
    sh.form.setText("Text3", "25");
    makeshape(sh);
    EXPECT_EQ(sh.st.detailfz, 1);
    sh.form.setText("Text3", "1");
    sh.form.setText("Text2", "400");
    makeshape(sh);
    EXPECT_EQ(sh.st.detailfz, 50);
}

TEST_F(ShapeRun, ComplexitySetsTheHitLimit) {
    sh.form.setText("Text9", "25");
    makeshape(sh);
    EXPECT_EQ(sh.st.complexy4, 146);
}

TEST_F(ShapeRun, SmoothnessChoosesTheChain) {
    sh.form.setText("Text10", "1");
    makeshape(sh);
    EXPECT_EQ(sh.st.lastRun.smoothLevel, 0);
    EXPECT_EQ(sh.st.circle2, 0);
    sh.form.setText("Text10", "9");
    makeshape(sh);
    EXPECT_EQ(sh.st.lastRun.smoothLevel, 8);
    EXPECT_TRUE(sh.st.lastRun.deepChain);
    EXPECT_EQ(sh.st.sharpf, 9);
}

TEST_F(ShapeRun, RegularButtonGivesComplexyOne) {
    sh.form.selectOption("Option1", {"Option1", "Option2"});
    makeshape(sh);
    EXPECT_EQ(sh.st.complexy, 1);
}

TEST_F(ShapeRun, FinishLeavesTheShapeInPicture1AndTheMenusReady) {
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

TEST_F(ShapeRun, ScreenSaverModeShowsOnlyPicture1) {
    sh.st.ssmode = 1;
    makeshape(sh);
    EXPECT_TRUE(sh.form.visible("Picture1"));
    for (int y = 0; y < sh.surface.height(); y += 5)
        for (int x = 0; x < sh.surface.width(); x += 5) ASSERT_EQ(sh.surface.pixel(x, y), kBorder);
}

TEST_F(ShapeRun, DriftChangesOnlyWithTheSize) {
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

TEST_F(ShapeRun, WindowSmallerThanTheShapeStillGivesADrawing) {
    sh.surface.resize(90, 60);
    sh.form.setText("Text2", "400");
    makeshape(sh);
    EXPECT_TRUE(sh.st.lastRun.closed);
    EXPECT_EQ(sh.picture1.width(), 402);
}

TEST_F(ShapeRun, NonNumericSidesDrawLikeFour) {
    sh.form.setText("Text4", "zz");
    makeshape(sh);
    EXPECT_EQ(sh.st.nsides, 0);
    EXPECT_TRUE(eightFold(sh.surface, cx(), cy(), 100));
}

TEST_F(ShapeRun, AttemptsAreBoundedWhenNoOutlineCanBeAccepted) {
    // A hit limit below zero refuses every attempt; the bound ends the run anyway and then
    // accepts an outline regardless of its hits.
    TraceParams p;
    p.cx = cx(), p.cy = cy(), p.s = 100, p.w = 1, p.circle = true, p.turnPeriod = 10;
    p.hitLimit = -1;
    EXPECT_EQ(traceAttempt(sh, p), TraceResult::Restart);
    p.ignoreHits = true;
    EXPECT_EQ(traceAttempt(sh, p), TraceResult::Closed);
}

TEST(Turns, NormaliseMakesTheLargerComponentOne) {
    Vec2 a{1, 0.25};
    normaliseTurn(a);
    EXPECT_EQ(a.x, 1);
    EXPECT_EQ(a.y, 0.25);
    Vec2 b{0.5, -0.25};
    normaliseTurn(b);
    EXPECT_EQ(b.x, 1);
    EXPECT_EQ(b.y, -0.5);
    Vec2 c{-0.2, 0.8};
    normaliseTurn(c);
    EXPECT_DOUBLE_EQ(c.x, -0.25);
    EXPECT_EQ(c.y, 1);
    Vec2 d{3, -4};
    normaliseTurn(d);
    EXPECT_EQ(d.y, -1);
    EXPECT_DOUBLE_EQ(d.x, 0.75);
}

TEST(Turns, FeedRepeatsUntilNoComponentIsZero) {
    Vec2 t{-0.5, 0.3}, s{0.5, 0.2};
    feedTurn(t, s);
    EXPECT_EQ(t.x, 0.5);
    EXPECT_DOUBLE_EQ(t.y, 0.7);
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
        makeshape(sh);
        ASSERT_TRUE(sh.st.lastRun.closed) << seed;
        const int cx = sh.surface.width() / 2, cy = sh.surface.height() / 2;
        const int h = sh.st.lastRun.runSize / 2;
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
