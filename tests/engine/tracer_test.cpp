// The turning chain and one traced attempt.
#include "engine/tracer.hpp"

#include <gtest/gtest.h>

using namespace vx;

TEST(Tracer, AnAttemptOverTheHitLimitRestartsUnlessHitsAreIgnored) {
    // A hit limit below zero refuses every attempt; past the bound the run accepts an outline
    // regardless of its hits.
    Surface sf(640, 480);
    Random rng(12345);
    TraceParams p;
    p.cx = 320, p.cy = 240, p.s = 100, p.w = 1, p.circle = true, p.turnPeriod = 10;
    p.hitLimit = -1;
    EXPECT_EQ(traceAttempt(sf, rng, p).result, TraceResult::Restart);
    p.ignoreHits = true;
    EXPECT_EQ(traceAttempt(sf, rng, p).result, TraceResult::Closed);
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
