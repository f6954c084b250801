#include "engine/turns.hpp"

#include <algorithm>
#include <cmath>

namespace vx {

TurnChain::TurnChain(Random& rng, const ChainRules& rules) : rules_(rules) {
    rules_.order = std::clamp(rules.order, 0, 8);
    n_ = rules_.order > 2 ? rules_.order - 2 : 0;
    h_ = draw(rng, false);
    e1_ = draw(rng, false);
    fresh(e3_, rng);
    fresh(e2_, rng);
    for (int k = 1; k <= n_; ++k) fresh(d_[k], rng);
}

// A fresh random turn: one draw for the sign of x, one for its size, one for y; upper
// elements of fancy shapes draw y again with a sign. The heading and E1 point downwards;
// upper elements never lie exactly on a diagonal. The order of the draws decides every
// drawing.
Vec2 TurnChain::draw(Random& rng, bool upper) const {
    auto signedRandom = [&rng]() {
        const int c = static_cast<int>(std::floor(2 * rng.next())) + 1;
        return c == 1 ? rng.next() : rng.next() - 1;
    };
    for (int tries = 0; tries < 1000; ++tries) {
        double x = signedRandom();
        double y = rng.next();
        if (upper && rules_.fancy) y = signedRandom();
        // Rounded before the tests, which then see what the chain will hold.
        if (rules_.singleDraws) x = toSingle(x), y = toSingle(y);
        if (x != 0 && y != 0 && (!upper || std::fabs(x) != std::fabs(y))) return {x, y};
    }
    return {0.5, 0.25}; // unreachable with a working random source
}

void TurnChain::fresh(Vec2& e, Random& rng) const {
    e = draw(rng, true);
    if (rules_.normaliseFresh) normaliseTurn(e);
}

void TurnChain::advance() {
    // Top-down order matters: each element is fed the value its source had before this step.
    feedTurn(h_, rules_.circle ? e1_ : e3_);
    normaliseTurn(h_);
    feedTurn(e1_, rules_.deep ? e2_ : e3_);
    normaliseTurn(e1_);
    feedTurn(e2_, e3_);
    if (rules_.deep) normaliseTurn(e2_);
    if (n_ == 0) return;
    feedTurn(e3_, d_[1]);
    if (rules_.deep) normaliseTurn(e3_);
    for (int k = 1; k < n_; ++k) {
        feedTurn(d_[k], d_[k + 1]);
        if (rules_.deep) normaliseTurn(d_[k]);
    }
}

} // namespace vx
