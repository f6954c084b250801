#include "engine/tracer.hpp"

#include <cmath>

namespace vx {

namespace {

constexpr double kRootHalf = 0.70710678118654752440; // 1 / sqrt(2)

} // namespace

TraceOutcome traceAttempt(Surface& sf, Random& rng, const TraceParams& p) {
    TraceOutcome out;
    const double half = p.s / 2;
    const double g = half * kRootHalf;
    const int cx = p.cx, cy = p.cy;

    // P1 and Q1 as offsets from the centre; every other pen is one of their eight images,
    // so mirrored pens always select mirrored pixels.
    double dx = 0, dy = -half;
    double u = -g, v = -g;

    // The tracer holds its fresh turns in single precision, normalised with circle.
    ChainRules rules;
    rules.order = p.w;
    rules.circle = p.circle;
    rules.deep = p.deep;
    rules.fancy = p.fancy;
    rules.period = p.turnPeriod;
    rules.singleDraws = true;
    rules.normaliseFresh = p.circle;
    TurnChain chain(rng, rules);

    // The size cross, left of the square; the background fill paints it over later.
    const int32_t grey = qbColor(7);
    sf.segment(cx - 2 * p.s, cy, cx - p.s, cy, grey);
    sf.segment(cx - 1.5 * p.s, cy - half, cx - 1.5 * p.s, cy + half, grey);

    const bool sidePens = p.nsides != 2;
    const bool diagonalPens = p.nsides == 8;
    auto markMain = [&]() {
        const int rx = pixelOffset(dx), ry = pixelOffset(dy);
        sf.setPixel(cx + rx, cy + ry, kBorder);
        sf.setPixel(cx - rx, cy + ry, kBorder);
        sf.setPixel(cx - rx, cy - ry, kBorder);
        sf.setPixel(cx + rx, cy - ry, kBorder);
        if (sidePens) {
            sf.setPixel(cx + ry, cy - rx, kBorder);
            sf.setPixel(cx + ry, cy + rx, kBorder);
            sf.setPixel(cx - ry, cy + rx, kBorder);
            sf.setPixel(cx - ry, cy - rx, kBorder);
        }
    };
    auto markDiagonal = [&]() {
        const int ru = pixelOffset(u), rv = pixelOffset(v);
        sf.setPixel(cx + ru, cy + rv, kBorder);
        sf.setPixel(cx + rv, cy + ru, kBorder);
        sf.setPixel(cx + ru, cy - rv, kBorder);
        sf.setPixel(cx + rv, cy - ru, kBorder);
        sf.setPixel(cx - ru, cy - rv, kBorder);
        sf.setPixel(cx - rv, cy - ru, kBorder);
        sf.setPixel(cx - ru, cy + rv, kBorder);
        sf.setPixel(cx - rv, cy + ru, kBorder);
    };
    auto restart = [&]() {
        // The window was white before the attempt, so blanking what the attempt drew on (the
        // size cross and the square) looks the same as blanking the whole window, at a
        // fraction of the cost on a large window.
        sf.fillBox(cx - 2 * p.s - 1, cy - half - 1, cx + half + 1, cy + half + 1, kWhite);
        out.result = TraceResult::Restart;
        return out;
    };

    // A pen that keeps circling inside the square would never close: bound the steps.
    const long maxSteps = 64L * static_cast<long>(p.s) + 4096;
    for (long n = 0;; ++n) {
        if (n > maxSteps) return restart();
        markMain();
        if (diagonalPens) markDiagonal();

        chain.tick(rng);
        if (dx > half || dx < -half || dy > half || dy < -half || u > half || u < -half ||
            v > half || v < -half)
            return restart();
        if (std::floor(dy) >= std::floor(-dy)) break;

        const Vec2 hd = chain.heading();
        dx += hd.x;
        dy += hd.y;
        const double pp = hd.x * kRootHalf, qq = hd.y * kRootHalf;
        u += pp;
        v -= pp;
        if (diagonalPens) markDiagonal();
        u += qq;
        v += qq;

        if (sf.pixel(pixelAt(cx, dx), pixelAt(cy, dy)) == kBorder) out.hits += 1;

        chain.advance();
    }
    if (!p.ignoreHits && out.hits > p.hitLimit) return restart();
    out.result = TraceResult::Closed;
    return out;
}

} // namespace vx
