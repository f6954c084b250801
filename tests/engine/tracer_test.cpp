// The turning chain and one traced attempt.
#include "engine/tracer.hpp"

#include <cmath>

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

TEST(Turns, TheTracerHoldsItsDrawsInSinglePrecisionAndTheWalkInDouble) {
    // Same random numbers, same draws; only the tracer rounds them, before its tests.
    for (const bool single : {true, false}) {
        Random rng(77), plain(77);
        ChainRules r;
        r.singleDraws = single;
        const TurnChain chain(rng, r);
        const double sign = std::floor(2 * plain.next()) + 1;
        const double x = sign == 1 ? plain.next() : plain.next() - 1;
        const double y = plain.next();
        EXPECT_EQ(chain.heading().x, single ? toSingle(x) : x);
        EXPECT_EQ(chain.heading().y, single ? toSingle(y) : y);
        EXPECT_GT(chain.heading().y, 0); // the heading starts downwards
    }
}

TEST(Turns, EachGeneratorKeepsItsOwnOrderOfTheHitLimit) {
    // The two orders part in the last bit, and a walk of 28 hits is kept only in a pattern.
    EXPECT_LT(hitLimit(44.8, 19.75, LimitOrder::Shape), 28);
    EXPECT_EQ(hitLimit(44.8, 19.75, LimitOrder::Pattern), 28);
    EXPECT_EQ(hitLimit(200, 1, LimitOrder::Shape), 50);
    EXPECT_EQ(hitLimit(200, 25, LimitOrder::Pattern), 146);
}
