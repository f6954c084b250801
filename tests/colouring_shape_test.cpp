// Region colouring of single shapes on hand-drawn outlines, and whole drawings whose colour
// draws would refuse for ever without their bounds.
#include "colour/colourdata.hpp"
#include "pattern/makeshape2.hpp"
#include "shape/makeshape.hpp"

#include <gtest/gtest.h>

#include <set>

using namespace vx;

namespace {

int32_t rgb(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}

constexpr int kCx = 150, kCy = 150;

// Concentric square outlines of half-sides 10, 20, 30, 40 and 50 about (150, 150): five areas,
// the outer rings the larger.
void concentricSquares(Shapes& sh, int w = 300, int h = 300) {
    sh.surface.resize(w, h);
    sh.surface.setBackColor(kWhite);
    resetColourBookkeeping(sh.st);
    for (int r = 10; r <= 50; r += 10) sh.surface.box(kCx - r, kCy - r, kCx + r, kCy + r, kBorder);
}

// The colour of the ring between half-sides r - 10 and r (r = 10: the inner square).
int32_t ring(const Shapes& sh, int r) {
    return sh.surface.pixel(kCx + r - 5, kCy);
}

struct ShapeColouring : ::testing::Test {
    Shapes sh;
    void SetUp() override { fillShadeTables(sh.st); }
};

} // namespace

TEST_F(ShapeColouring, EverythingOutsideTheOutlineBecomesBorderColour) {
    concentricSquares(sh, 1300, 1100);
    sh.surface.segment(20, 150, 60, 150, qbColor(7)); // a size cross
    colourShape(sh, kCx, kCy, 100, 4);
    for (auto [x, y] : {std::pair{0, 0}, {40, 150}, {299, 299}, {1250, 1050}, {1299, 1099}})
        EXPECT_EQ(sh.surface.pixel(x, y), kBorder) << x << "," << y;
}

TEST_F(ShapeColouring, EachAreaGetsOneBasicColourAndNoneStaysWhite) {
    concentricSquares(sh);
    colourShape(sh, kCx, kCy, 100, 4);
    std::set<int32_t> colours;
    for (int r = 10; r <= 50; r += 10) {
        const int32_t c = ring(sh, r);
        EXPECT_NE(c, kWhite);
        EXPECT_NE(c, qbColor(7));
        colours.insert(c);
        // The whole ring, all round, has that colour.
        EXPECT_EQ(sh.surface.pixel(kCx, kCy - r + 5), c);
        EXPECT_EQ(sh.surface.pixel(kCx - r + 1, kCy + r - 1), c);
    }
    // All five areas start on the same scan row or on rows of their own; either way the
    // inner square and the outer ring start on different rows of the same run of colours.
    EXPECT_GE(colours.size(), 2u);
}

TEST_F(ShapeColouring, ASingleRegionIsFilledWithOneColour) {
    sh.surface.resize(300, 300);
    sh.surface.setBackColor(kWhite);
    sh.surface.box(kCx - 50, kCy - 50, kCx + 50, kCy + 50, kBorder);
    sh.st.tcolor = 1;
    colourShape(sh, kCx, kCy, 100, 4);
    const int32_t c = sh.surface.pixel(kCx, kCy);
    EXPECT_NE(c, kWhite);
    for (int y = kCy - 49; y <= kCy + 49; ++y)
        for (int x = kCx - 49; x <= kCx + 49; ++x) ASSERT_EQ(sh.surface.pixel(x, y), c);
}

TEST_F(ShapeColouring, RedThenBlackGoToTheTwoLargestOfFiveAreas) {
    concentricSquares(sh);
    sh.st.tcolor = 1;
    sh.st.tcolor2 = 1;
    sh.st.colorlist[1] = rgb(255, 0, 0);
    sh.st.colorlist[2] = kListBlack;
    colourShape(sh, kCx, kCy, 100, 4);
    EXPECT_EQ(sh.st.censusSize, 5);
    EXPECT_EQ(ring(sh, 50), rgb(255, 0, 0));
    EXPECT_EQ(ring(sh, 40), kListBlack);
    for (int r : {10, 20, 30}) {
        EXPECT_NE(ring(sh, r), rgb(255, 0, 0));
        EXPECT_NE(ring(sh, r), kListBlack);
        EXPECT_NE(ring(sh, r), kWhite);
    }
    // Repainted all round, not only at the census point.
    EXPECT_EQ(sh.surface.pixel(kCx - 45, kCy + 45), rgb(255, 0, 0));
    EXPECT_EQ(sh.surface.pixel(kCx + 35, kCy + 35), kListBlack);
}

TEST_F(ShapeColouring, ShadeCodeInSlotOneGivesTheLargestAreaAGreenThatVaries) {
    std::set<int32_t> greens(sh.st.greenshades.begin() + 1, sh.st.greenshades.begin() + 21);
    std::set<int32_t> seen;
    sh.st.tcolor = 1;
    sh.st.tcolor2 = 1;
    sh.st.colorlist[1] = -3;
    for (uint64_t seed = 1; seed <= 30; ++seed) {
        sh.rng.seed(seed);
        concentricSquares(sh);
        colourShape(sh, kCx, kCy, 100, 4);
        EXPECT_TRUE(greens.count(ring(sh, 50))) << ring(sh, 50);
        EXPECT_FALSE(greens.count(ring(sh, 40)));
        seen.insert(ring(sh, 50));
    }
    EXPECT_GT(seen.size(), 5u);
}

TEST_F(ShapeColouring, BasicOrTrueColourTakesNoCensus) {
    concentricSquares(sh);
    sh.st.tcolor = 1;
    sh.st.censusSize = 3;
    sh.st.colorlist[1] = rgb(255, 0, 0);
    colourShape(sh, kCx, kCy, 100, 4);
    EXPECT_NE(ring(sh, 50), rgb(255, 0, 0));
    EXPECT_EQ(sh.st.censusSize, 0);
}

TEST_F(ShapeColouring, EmptyListDrawsExactlyTheTrueColourShape) {
    Shapes plain;
    plain.st.tcolor = 1;
    sh.st.tcolor = 1;
    sh.st.tcolor2 = 1;
    for (uint64_t seed : {3u, 17u, 99u}) {
        for (Shapes* s : {&sh, &plain}) {
            s->surface.resize(640, 480);
            s->rng.seed(seed);
            makeshape(*s);
        }
        EXPECT_TRUE(sh.surface == plain.surface) << seed;
        EXPECT_GT(sh.st.censusSize, 0);
    }
}

TEST_F(ShapeColouring, MoreThanAThousandCensusColoursKeepsTheFirstThousand) {
    // A grid of 2 x 2 cells: thousands of regions, each of its own true colour.
    sh.surface.resize(500, 500);
    sh.surface.setBackColor(kWhite);
    resetColourBookkeeping(sh.st);
    const int c = 250;
    for (int k = 0; k <= 66; ++k) {
        for (int sign : {-1, 1}) {
            sh.surface.box(c + sign * 3 * k, c - 200, c + sign * 3 * k, c + 200, kBorder);
            sh.surface.box(c - 200, c + sign * 3 * k, c + 200, c + sign * 3 * k, kBorder);
        }
    }
    sh.surface.box(c - 200, c - 200, c + 200, c + 200, kBorder);
    sh.st.tcolor = 1;
    sh.st.tcolor2 = 1;
    sh.st.colorlist[1] = rgb(255, 0, 0);
    colourShape(sh, c, c, 400, 4);
    EXPECT_EQ(sh.st.censusSize, 1000);
    // The one entry used up by the recolouring is red at its point and that point's images.
    int used = 0;
    for (int k = 1; k <= 1000; ++k)
        if (sh.st.regioncounts[k] == 0) used = used ? -1 : k;
    ASSERT_GT(used, 0);
    const int x = static_cast<int>(sh.st.regionx[used]), y = sh.st.regiony[used];
    EXPECT_EQ(sh.surface.pixel(x, y), rgb(255, 0, 0));
    EXPECT_EQ(sh.surface.pixel(2 * c - x, 2 * c - y), rgb(255, 0, 0));
}

TEST_F(ShapeColouring, OneColourScaleFillsEveryAreaWithIt) {
    concentricSquares(sh);
    sh.st.tcolor = 2;
    sh.st.cgf = 1;
    sh.st.importcolors[1] = rgb(0, 90, 180);
    colourShape(sh, kCx, kCy, 100, 4);
    for (int r = 10; r <= 50; r += 10) EXPECT_EQ(ring(sh, r), rgb(0, 90, 180)) << r;
}

TEST_F(ShapeColouring, ScaleOfListBlackOnlyLeavesTheAreasWhiteAndEnds) {
    // A draw of 2 fills nothing; with nothing else to draw every area stays white.
    concentricSquares(sh);
    sh.st.tcolor = 2;
    sh.st.cgf = 1;
    sh.st.importcolors[1] = kListBlack;
    colourShape(sh, kCx, kCy, 40, 4);
    EXPECT_EQ(ring(sh, 10), kWhite);
    EXPECT_EQ(ring(sh, 20), kWhite);
}

TEST_F(ShapeColouring, EmptyScaleDrawsExactlyTheTrueColourShape) {
    Shapes plain;
    plain.st.tcolor = 1;
    sh.st.tcolor = 2;
    for (Shapes* s : {&sh, &plain}) {
        s->surface.resize(640, 480);
        s->rng.seed(42);
        makeshape(*s);
    }
    EXPECT_TRUE(sh.surface == plain.surface);
}

TEST_F(ShapeColouring, EightSidedDrawingsEndWithOneColourScaleAndWithExhaustedFlags) {
    // The one-colour scale refuses every repeat; in basic mode all flags can be taken.
    for (double mode : {2.0, 0.0}) {
        Shapes s;
        s.st.tcolor = mode;
        s.st.cgf = 1;
        s.st.importcolors[1] = rgb(200, 100, 0);
        for (uint64_t seed = 1; seed <= 20; ++seed) {
            s.surface.resize(240, 200);
            s.form.setText("Text2", "100");
            s.form.setText("Text4", "8");
            s.rng.seed(seed);
            makeshape(s);
            EXPECT_NE(s.surface.pixel(120, 100 - 10), kWhite);
        }
    }
}
