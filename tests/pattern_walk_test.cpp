// The tile walk: one attempt of the eight pens, its rejection and its bounds.
#include "pattern/makeshape2.hpp"

#include "symmetry.hpp"

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
    Shapes sh;
    sh.surface = Surface(300, 240);
    sh.rng.seed(5);
    WalkParams p = params(sh.surface, 100);
    p.onePass = true;
    ASSERT_EQ(walkAttempt(sh, p), WalkResult::Accepted);
    EXPECT_EQ(sh.st.hhmn, 0);
    const int cx = 150, cy = 120;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 300; ++x) {
            const bool frame = (x == cx - 49 || x == cx + 49) && y >= cy - 49 && y <= cy + 49;
            const bool frameRow = (y == cy - 49 || y == cy + 49) && x >= cx - 49 && x <= cx + 49;
            const bool dot = x == cx && y == cy;
            ASSERT_EQ(sh.surface.pixel(x, y), frame || frameRow || dot ? kBorder : kWhite)
                << x << "," << y;
        }
}

TEST(PatternWalk, AcceptedWalksAreExactlySymmetricAndReachTheFrame) {
    for (uint64_t seed = 1; seed <= 200; ++seed) {
        Shapes sh;
        sh.surface = Surface(301 + static_cast<int>(seed % 7), 290 + static_cast<int>(seed % 5));
        sh.rng.seed(seed);
        const int s = 40 + 10 * static_cast<int>(seed % 24);
        WalkParams p = params(sh.surface, s);
        p.sigma = static_cast<int>(seed % 9);
        p.fancy = seed % 2 == 0;
        p.turnPeriod = static_cast<double>(seed % 12);
        ASSERT_EQ(walkAttempt(sh, p), WalkResult::Accepted) << seed;
        ASSERT_TRUE(vx::testing::eightFold(sh.surface, p.cx, p.cy, s / 2 + 2)) << seed;
        // The last position of W0 lies on or past the frame line.
        const double ox = sh.st.a - p.cx, oy = sh.st.b - p.cy;
        EXPECT_TRUE(std::floor(ox) <= -s / 2 || std::floor(ox) >= s / 2 ||
                    std::floor(oy) <= -s / 2 || std::floor(oy) >= s / 2)
            << seed;
    }
}

TEST(PatternWalk, TooManyOverlapsRejectTheWalkAndBlankTheWindow) {
    Shapes sh;
    sh.surface = Surface(200, 200);
    sh.rng.seed(9);
    WalkParams p = params(sh.surface, 100);
    p.hitLimit = -1; // even a walk without overlaps is one too many
    EXPECT_EQ(walkAttempt(sh, p), WalkResult::Rejected);
    EXPECT_TRUE(allWhite(sh.surface));

    // The same walk with the limit lifted keeps its frame.
    sh.rng.seed(9);
    p.ignoreHits = true;
    EXPECT_EQ(walkAttempt(sh, p), WalkResult::Accepted);
    EXPECT_EQ(sh.surface.pixel(51, 51), kBorder);
}

TEST(PatternWalk, OverlapCountIsKeptForAnAcceptedWalk) {
    // With a tiny turn period and no smoothing the walk meets its images near the centre.
    long total = 0;
    for (uint64_t seed = 1; seed <= 50; ++seed) {
        Shapes sh;
        sh.surface = Surface(240, 240);
        sh.rng.seed(seed);
        WalkParams p = params(sh.surface, 200);
        p.sigma = 0;
        p.turnPeriod = 0;
        ASSERT_EQ(walkAttempt(sh, p), WalkResult::Accepted);
        EXPECT_GE(sh.st.hhmn, 0);
        total += static_cast<long>(sh.st.hhmn);
    }
    EXPECT_GT(total, 0);
}

TEST(PatternWalk, AWalkThatNeverReachesTheFrameEndsAtTheStepBound) {
    Shapes sh;
    sh.surface = Surface(500, 500);
    sh.rng.seed(3);
    WalkParams p = params(sh.surface, 400);
    p.maxSteps = 5; // far too few to cross 200 pixels
    EXPECT_EQ(walkAttempt(sh, p), WalkResult::Rejected);
    EXPECT_TRUE(allWhite(sh.surface));
}
