// The tile walk: one attempt of the eight pens, its rejection and its bounds.
#include "engine/pattern.hpp"

#include "../symmetry.hpp"

#include <gtest/gtest.h>

using namespace vx;

namespace {

WalkParams params(const Surface& sf, int s) {
    WalkParams p;
    p.cx = sf.width() / 2;
    p.cy = sf.height() / 2;
    p.s = s;
    p.sigma = 1;
    p.turnPeriod = 10;
    p.hitLimit = 1e9;
    return p;
}

bool allWhite(const Surface& sf) {
    for (int y = 0; y < sf.height(); ++y)
        for (int x = 0; x < sf.width(); ++x)
            if (sf.pixel(x, y) != kWhite) return false;
    return true;
}

} // namespace

TEST(PatternWalk, EightSidesMakeOnePassLeavingTheFrameAndOneCentreDot) {
    Surface sf(300, 240);
    Random rng(5);
    WalkParams p = params(sf, 100);
    p.onePass = true;
    const WalkOutcome walk = walkAttempt(sf, rng, p);
    ASSERT_EQ(walk.result, WalkResult::Accepted);
    EXPECT_EQ(walk.hits, 0);
    const int cx = 150, cy = 120;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 300; ++x) {
            const bool frame = (x == cx - 49 || x == cx + 49) && y >= cy - 49 && y <= cy + 49;
            const bool frameRow = (y == cy - 49 || y == cy + 49) && x >= cx - 49 && x <= cx + 49;
            const bool dot = x == cx && y == cy;
            ASSERT_EQ(sf.pixel(x, y), frame || frameRow || dot ? kBorder : kWhite) << x << "," << y;
        }
}

TEST(PatternWalk, AcceptedWalksAreExactlySymmetricAndReachTheFrame) {
    for (uint64_t seed = 1; seed <= 200; ++seed) {
        Surface sf(301 + static_cast<int>(seed % 7), 290 + static_cast<int>(seed % 5));
        Random rng(seed);
        const int s = 40 + 10 * static_cast<int>(seed % 24);
        WalkParams p = params(sf, s);
        p.sigma = static_cast<int>(seed % 9);
        p.fancy = seed % 2 == 0;
        p.turnPeriod = static_cast<double>(seed % 12);
        const WalkOutcome walk = walkAttempt(sf, rng, p);
        ASSERT_EQ(walk.result, WalkResult::Accepted) << seed;
        ASSERT_TRUE(vx::testing::eightFold(sf, p.cx, p.cy, s / 2 + 2)) << seed;
        // The last position of W0 lies on or past the frame line.
        const double ox = walk.x - p.cx, oy = walk.y - p.cy;
        EXPECT_TRUE(std::floor(ox) <= -s / 2 || std::floor(ox) >= s / 2 ||
                    std::floor(oy) <= -s / 2 || std::floor(oy) >= s / 2)
            << seed;
    }
}

TEST(PatternWalk, TooManyOverlapsRejectTheWalkAndBlankTheWindow) {
    Surface sf(200, 200);
    Random rng(9);
    WalkParams p = params(sf, 100);
    p.hitLimit = -1; // even a walk without overlaps is one too many
    EXPECT_EQ(walkAttempt(sf, rng, p).result, WalkResult::Rejected);
    EXPECT_TRUE(allWhite(sf));

    // The same walk with the limit lifted keeps its frame.
    rng.seed(9);
    p.ignoreHits = true;
    EXPECT_EQ(walkAttempt(sf, rng, p).result, WalkResult::Accepted);
    EXPECT_EQ(sf.pixel(51, 51), kBorder);
}

TEST(PatternWalk, OverlapCountIsKeptForAnAcceptedWalk) {
    // With a tiny turn period and no smoothing the walk meets its images near the centre.
    long total = 0;
    for (uint64_t seed = 1; seed <= 50; ++seed) {
        Surface sf(240, 240);
        Random rng(seed);
        WalkParams p = params(sf, 200);
        p.sigma = 0;
        p.turnPeriod = 0;
        const WalkOutcome walk = walkAttempt(sf, rng, p);
        ASSERT_EQ(walk.result, WalkResult::Accepted);
        EXPECT_GE(walk.hits, 0);
        total += static_cast<long>(walk.hits);
    }
    EXPECT_GT(total, 0);
}

TEST(PatternWalk, AWalkThatNeverReachesTheFrameEndsAtTheStepBound) {
    Surface sf(500, 500);
    Random rng(3);
    WalkParams p = params(sf, 400);
    p.maxSteps = 5; // far too few to cross 200 pixels
    EXPECT_EQ(walkAttempt(sf, rng, p).result, WalkResult::Rejected);
    EXPECT_TRUE(allWhite(sf));
}
