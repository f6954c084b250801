// Colouring of a pattern tile drawn by hand: frame, curve, outer fill, recolouring.
#include "engine/colouring.hpp"
#include "engine/shades.hpp"

#include "../symmetry.hpp"

#include <gtest/gtest.h>

using namespace vx;

namespace {

int32_t rgb(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}

constexpr int kS = 120, kHalf = kS / 2;

struct TileColouring : ::testing::Test {
    Surface sf;
    ColourSettings cs{0, 0, {}, {}, 0}; // basic colours
    Random rng{1};
    int cx = 0, cy = 0;
    // A tile as an accepted walk leaves it: the frame, and (unless bare) a diamond around the
    // centre dot, all in colour 1 on white.
    void drawTile(int w, int h, bool bare) {
        sf = Surface(w, h);
        cx = w / 2;
        cy = h / 2;
        sf.box(cx - kHalf + 1, cy - kHalf + 1, cx + kHalf - 1, cy + kHalf - 1, kBorder);
        sf.setPixel(cx, cy, kBorder);
        if (bare) return;
        for (int t = 0; t <= 30; ++t)
            for (int sx : {-1, 1})
                for (int sy : {-1, 1}) sf.setPixel(cx + sx * t, cy + sy * (30 - t), kBorder);
    }
    ::testing::AssertionResult symmetric() const {
        return vx::testing::eightFold(sf, cx, cy, kHalf);
    }
    int whiteInside() const {
        int n = 0;
        for (int y = cy - kHalf + 2; y <= cy + kHalf - 2; ++y)
            for (int x = cx - kHalf + 2; x <= cx + kHalf - 2; ++x) n += sf.pixel(x, y) == kWhite;
        return n;
    }
};

} // namespace

TEST_F(TileColouring, OutsideTheFrameBecomesBorderColourAlsoBeyondAThousandPixels) {
    drawTile(1300, 1100, false);
    colourTile(sf, cs, rng, cx, cy, kS, 4);
    EXPECT_EQ(sf.pixel(0, 0), kBorder);
    EXPECT_EQ(sf.pixel(1299, 1099), kBorder);
    EXPECT_EQ(sf.pixel(cx + kHalf, cy), kBorder); // the column right of the frame
    EXPECT_EQ(sf.pixel(cx, cy + kHalf), kBorder); // the row below it
}

TEST_F(TileColouring, BothRegionsAreFilledSymmetricallyInEveryMode) {
    for (double mode : {0.0, 1.0}) {
        for (uint64_t seed = 1; seed <= 20; ++seed) {
            cs.tcolor = mode;
            rng.seed(seed);
            drawTile(400, 300, false);
            colourTile(sf, cs, rng, cx, cy, kS, 4);
            EXPECT_TRUE(symmetric()) << mode << " " << seed;
            EXPECT_EQ(whiteInside(), 0) << mode << " " << seed;
            const int32_t inner = sf.pixel(cx + 5, cy + 5);
            const int32_t outer = sf.pixel(cx + 40, cy + 40);
            if (mode == 0) {
                EXPECT_NE(inner, qbColor(7));
                EXPECT_NE(outer, qbColor(7));
            }
        }
    }
}

TEST_F(TileColouring, EightSidedTileOfOneRegionGetsOneColour) {
    for (double mode : {0.0, 1.0}) {
        cs.tcolor = mode;
        drawTile(400, 300, true);
        colourTile(sf, cs, rng, cx, cy, kS, 8);
        const int32_t c = sf.pixel(cx + 1, cy);
        EXPECT_NE(c, kWhite);
        EXPECT_NE(c, kBorder);
        for (int y = cy - kHalf + 2; y <= cy + kHalf - 2; ++y)
            for (int x = cx - kHalf + 2; x <= cx + kHalf - 2; ++x) {
                if (x == cx && y == cy) continue;
                ASSERT_EQ(sf.pixel(x, y), c) << mode;
            }
    }
}

TEST_F(TileColouring, UserListRepaintsTheLargerRegionFirst) {
    cs.tcolor = 1;
    cs.tcolor2 = 1;
    cs.list = {-1, rgb(0, 200, 0)};
    drawTile(400, 300, false);
    colourTile(sf, cs, rng, cx, cy, kS, 4);
    const int32_t outer = sf.pixel(cx + 40, cy + 40);
    bool blue = false;
    for (int i = 1; i <= 20; ++i) blue = blue || kBlueShades[i] == outer;
    EXPECT_TRUE(blue) << outer;
    EXPECT_EQ(sf.pixel(cx + 5, cy + 5), rgb(0, 200, 0));
    EXPECT_TRUE(symmetric());
}

TEST_F(TileColouring, AScanPositionOnTheFrameOrCurveNeverDraws) {
    // A frame only, no white inside reachable: nothing is drawn, so lastpick stays.
    drawTile(400, 300, true);
    sf.fillBox(cx - kHalf + 2, cy - kHalf + 2, cx + kHalf - 2, cy + kHalf - 2, kBorder);
    cs.lastpick = 12345;
    EXPECT_EQ(colourTile(sf, cs, rng, cx, cy, kS, 4).lastpick, 12345);
}
