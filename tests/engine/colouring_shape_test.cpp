// Region colouring of single shapes on hand-drawn outlines, and whole drawings whose colour
// draws would refuse for ever without their bounds.
#include "engine/colouring.hpp"
#include "engine/shades.hpp"
#include "engine/shape.hpp"

#include <gtest/gtest.h>

#include <set>

using namespace vx;

namespace {

int32_t rgb(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}

constexpr int kCx = 150, kCy = 150;

struct ShapeColouring : ::testing::Test {
    Surface sf{300, 300};
    ColourSettings cs = basic();
    Random rng{1};

    static ColourSettings basic() {
        ColourSettings c;
        c.tcolor = 0;
        c.tcolor2 = 0;
        return c;
    }
    void userList(std::vector<int32_t> list) {
        cs.tcolor = 1;
        cs.tcolor2 = 1;
        cs.list = std::move(list);
    }
    // Concentric square outlines of half-sides 10, 20, 30, 40 and 50 about (150, 150): five
    // areas, the outer rings the larger.
    void concentricSquares(int w = 300, int h = 300) {
        sf = Surface(w, h);
        for (int r = 10; r <= 50; r += 10) sf.box(kCx - r, kCy - r, kCx + r, kCy + r, kBorder);
    }
    // The colour of the ring between half-sides r - 10 and r (r = 10: the inner square).
    int32_t ring(int r) const { return sf.pixel(kCx + r - 5, kCy); }
    ColourRun colour(double s = 100, int nsides = 4) {
        return colourShape(sf, cs, rng, kCx, kCy, s, nsides);
    }
};

// A whole shape of the start fields on a 640 x 480 canvas.
Surface wholeShape(const ColourSettings& cs, uint64_t seed, int* censusSize = nullptr) {
    DrawSettings s;
    s.colour = cs;
    Random rng(seed);
    Surface canvas(640, 480), picture;
    const ShapeRun run = drawShape(s, rng, canvas, picture);
    if (censusSize) *censusSize = run.colour.census.size();
    return canvas;
}

} // namespace

TEST_F(ShapeColouring, EverythingOutsideTheOutlineBecomesBorderColour) {
    concentricSquares(1300, 1100);
    sf.segment(20, 150, 60, 150, qbColor(7)); // a size cross
    colour();
    for (auto [x, y] : {std::pair{0, 0}, {40, 150}, {299, 299}, {1250, 1050}, {1299, 1099}})
        EXPECT_EQ(sf.pixel(x, y), kBorder) << x << "," << y;
}

TEST_F(ShapeColouring, EachAreaGetsOneBasicColourAndNoneStaysWhite) {
    concentricSquares();
    colour();
    std::set<int32_t> colours;
    for (int r = 10; r <= 50; r += 10) {
        const int32_t c = ring(r);
        EXPECT_NE(c, kWhite);
        EXPECT_NE(c, qbColor(7));
        colours.insert(c);
        // The whole ring, all round, has that colour.
        EXPECT_EQ(sf.pixel(kCx, kCy - r + 5), c);
        EXPECT_EQ(sf.pixel(kCx - r + 1, kCy + r - 1), c);
    }
    // All five areas start on the same scan row or on rows of their own; either way the
    // inner square and the outer ring start on different rows of the same run of colours.
    EXPECT_GE(colours.size(), 2u);
}

TEST_F(ShapeColouring, ASingleRegionIsFilledWithOneColour) {
    sf.box(kCx - 50, kCy - 50, kCx + 50, kCy + 50, kBorder);
    cs.tcolor = 1;
    colour();
    const int32_t c = sf.pixel(kCx, kCy);
    EXPECT_NE(c, kWhite);
    for (int y = kCy - 49; y <= kCy + 49; ++y)
        for (int x = kCx - 49; x <= kCx + 49; ++x) ASSERT_EQ(sf.pixel(x, y), c);
}

TEST_F(ShapeColouring, RedThenBlackGoToTheTwoLargestOfFiveAreas) {
    concentricSquares();
    userList({rgb(255, 0, 0), kListBlack});
    const ColourRun run = colour();
    EXPECT_EQ(run.census.size(), 5);
    EXPECT_EQ(ring(50), rgb(255, 0, 0));
    EXPECT_EQ(ring(40), kListBlack);
    for (int r : {10, 20, 30}) {
        EXPECT_NE(ring(r), rgb(255, 0, 0));
        EXPECT_NE(ring(r), kListBlack);
        EXPECT_NE(ring(r), kWhite);
    }
    // Repainted all round, not only at the census point.
    EXPECT_EQ(sf.pixel(kCx - 45, kCy + 45), rgb(255, 0, 0));
    EXPECT_EQ(sf.pixel(kCx + 35, kCy + 35), kListBlack);
}

TEST_F(ShapeColouring, ShadeCodeInSlotOneGivesTheLargestAreaAGreenThatVaries) {
    std::set<int32_t> greens(kGreenShades.begin() + 1, kGreenShades.begin() + 21);
    std::set<int32_t> seen;
    userList({-3});
    for (uint64_t seed = 1; seed <= 30; ++seed) {
        rng.seed(seed);
        concentricSquares();
        colour();
        EXPECT_TRUE(greens.count(ring(50))) << ring(50);
        EXPECT_FALSE(greens.count(ring(40)));
        seen.insert(ring(50));
    }
    EXPECT_GT(seen.size(), 5u);
}

TEST_F(ShapeColouring, BasicOrTrueColourTakesNoCensus) {
    concentricSquares();
    cs.tcolor = 1;
    cs.list = {rgb(255, 0, 0)};
    const ColourRun run = colour();
    EXPECT_NE(ring(50), rgb(255, 0, 0));
    EXPECT_EQ(run.census.size(), 0);
}

TEST_F(ShapeColouring, EmptyListOrEmptyScaleDrawsExactlyTheTrueColourShape) {
    ColourSettings truec;
    truec.tcolor = 1;
    truec.tcolor2 = 0;
    ColourSettings emptyList = truec;
    emptyList.tcolor2 = 1;
    ColourSettings emptyScale = truec;
    emptyScale.tcolor = 2;
    for (uint64_t seed : {3u, 17u, 99u}) {
        const Surface plain = wholeShape(truec, seed);
        int census = 0;
        EXPECT_TRUE(wholeShape(emptyList, seed, &census) == plain) << seed;
        EXPECT_GT(census, 0);
        EXPECT_TRUE(wholeShape(emptyScale, seed) == plain) << seed;
    }
}

TEST_F(ShapeColouring, MoreThanAThousandCensusColoursKeepsTheFirstThousand) {
    // A grid of 2 x 2 cells: thousands of regions, each of its own true colour.
    sf = Surface(500, 500);
    const int c = 250;
    for (int k = 0; k <= 66; ++k) {
        for (int sign : {-1, 1}) {
            sf.box(c + sign * 3 * k, c - 200, c + sign * 3 * k, c + 200, kBorder);
            sf.box(c - 200, c + sign * 3 * k, c + 200, c + sign * 3 * k, kBorder);
        }
    }
    sf.box(c - 200, c - 200, c + 200, c + 200, kBorder);
    userList({rgb(255, 0, 0)});
    const ColourRun run = colourShape(sf, cs, rng, c, c, 400, 4);
    EXPECT_EQ(run.census.size(), 1000);
    // The one entry used up by the recolouring is red at its point and that point's images.
    const CensusEntry* used = nullptr;
    for (const CensusEntry& e : run.census.entries)
        if (e.count == 0) {
            EXPECT_EQ(used, nullptr);
            used = &e;
        }
    ASSERT_NE(used, nullptr);
    const int x = static_cast<int>(used->x), y = used->y;
    EXPECT_EQ(sf.pixel(x, y), rgb(255, 0, 0));
    EXPECT_EQ(sf.pixel(2 * c - x, 2 * c - y), rgb(255, 0, 0));
}

TEST_F(ShapeColouring, OneColourScaleFillsEveryAreaWithIt) {
    concentricSquares();
    cs.tcolor = 2;
    cs.scale = {rgb(0, 90, 180)};
    colour();
    for (int r = 10; r <= 50; r += 10) EXPECT_EQ(ring(r), rgb(0, 90, 180)) << r;
}

TEST_F(ShapeColouring, ScaleOfListBlackOnlyLeavesTheAreasWhiteAndEnds) {
    // A draw of 2 fills nothing; with nothing else to draw every area stays white.
    concentricSquares();
    cs.tcolor = 2;
    cs.scale = {kListBlack};
    colour(40);
    EXPECT_EQ(ring(10), kWhite);
    EXPECT_EQ(ring(20), kWhite);
}

TEST_F(ShapeColouring, EightSidedDrawingsEndWithOneColourScaleAndWithExhaustedFlags) {
    // The one-colour scale refuses every repeat; in basic mode all flags can be taken.
    for (double mode : {2.0, 0.0}) {
        DrawSettings s;
        s.size = 100;
        s.sides = 8;
        s.colour.tcolor = mode;
        s.colour.scale = {rgb(200, 100, 0)};
        for (uint64_t seed = 1; seed <= 20; ++seed) {
            Surface canvas(240, 200), picture;
            Random r(seed);
            drawShape(s, r, canvas, picture);
            EXPECT_NE(canvas.pixel(120, 100 - 10), kWhite);
        }
    }
}
