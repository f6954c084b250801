#pragma once
// The turning chain of both generators: two-component turn vectors, normalised so that one
// step moves exactly one pixel along its main axis, each fed from the one above it, with a
// randomly turned element at the top.
#include "surface/numeric.hpp"

#include <cmath>

namespace vx {

struct Vec2 {
    double x = 0, y = 0;
};

// Both generators' drawings hang on the exact bits of these vectors: keep the order of every
// operation below (y / x before the absolute value, one addition of the source at a time).

// Makes the larger component exactly +-1 (one pixel along the main axis per step).
inline void normaliseTurn(Vec2& v) {
    const double ax = std::fabs(v.x), ay = std::fabs(v.y);
    if (!(ax > 1 || ay > 1 || (ax < 1 && ay < 1))) return;
    if (ax == 0 && ay == 0) return;
    if (ax >= ay) {
        const double r = std::fabs(v.y / v.x);
        v.y = v.y < 0 ? -r : (v.y > 0 ? r : 0.0);
        v.x = v.x < 0 ? -1 : 1;
    } else {
        const double r = std::fabs(v.x / v.y);
        v.x = v.x < 0 ? -r : (v.x > 0 ? r : 0.0);
        v.y = v.y < 0 ? -1 : 1;
    }
}

// target += source, repeated while a component of the target is 0.
inline void feedTurn(Vec2& t, const Vec2& s) {
    t.x += s.x;
    t.y += s.y;
    // Sources have both components non-zero, so this ends within two more additions.
    for (int i = 0; i < 3 && (t.x == 0 || t.y == 0); ++i) {
        t.x += s.x;
        t.y += s.y;
    }
}

// What sets a chain up. The outline tracer and the tile walk share the chain and differ only
// here: the tracer holds its fresh components in single precision and normalises its fresh
// turns (with `circle`); the walk keeps them as drawn.
struct ChainRules {
    int order = 0;            // smoothness lowered by one, 0 to 8: elements below the top
    bool circle = false;      // the heading is fed from E1; otherwise straight from E3
    bool deep = false;        // E1 is fed from E2, and E2 and the elements above it are normalised
    bool fancy = false;       // the upper elements may point upwards too
    double period = 0;        // steps between two fresh turns, less one
    bool singleDraws = false; // fresh components rounded to single precision
    bool normaliseFresh = false; // E2, E3, D1..Dn normalised as they are drawn
};

// The heading H, fed from E1 (or E3), E1 from E2 (or E3), E2 from E3, E3 from D1 and Dk from
// D(k+1); the top (E3, or Dn with n = order - 2) gets a fresh random turn every period + 1
// steps. The tile walk calls them the step and levels 1, 2, 3 and up.
class TurnChain {
  public:
    // Draws H, E1, E3, E2, D1..Dn in this order, as every drawing depends on it.
    TurnChain(Random& rng, const ChainRules& rules);

    const Vec2& heading() const { return h_; }
    // Counts a step; past the period the top gets a fresh turn.
    void tick(Random& rng) {
        if (++count_ > rules_.period) {
            count_ = 0;
            fresh(top(), rng);
        }
    }
    // Feeds every element from the one above it, the heading first.
    void advance();

  private:
    Vec2 draw(Random& rng, bool upper) const;
    void fresh(Vec2& e, Random& rng) const;
    Vec2& top() { return n_ > 0 ? d_[n_] : e3_; }

    ChainRules rules_;
    int n_ = 0; // deeper elements D1..Dn
    double count_ = 0;
    Vec2 h_, e1_, e2_, e3_;
    Vec2 d_[8]; // D1..Dn at 1..n
};

// Outline hits (walk overlaps) an attempt may have: a quarter of the size plus a 25th of half
// the size for each step of complexity above 1. The shape and the pattern have always
// computed it in these two orders, which can differ in the last bit and so decide an attempt
// (size 44.8, complexity 19.75: 27.999999999999996 for a shape, 28 for a pattern); each
// keeps its own.
enum class LimitOrder { Shape, Pattern };
inline double hitLimit(double size, double complexity, LimitOrder order) {
    if (order == LimitOrder::Shape) return (size / 2) / 25 * (complexity - 1) + size / 4;
    return size / 4 + (complexity - 1) * (size / 2) / 25;
}

} // namespace vx
