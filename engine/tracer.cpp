#include "engine/tracer.hpp"

#include <cmath>

namespace vx {

namespace {

constexpr double kRootHalf = 0.70710678118654752440; // 1 / sqrt(2)

// A fresh random turn. Heading-like elements point downwards; deeper elements may point
// upwards too with fancy shapes, and never lie exactly on a diagonal.
Vec2 randomTurn(Random& rng, bool deepElement, bool fancy) {
    for (int tries = 0; tries < 1000; ++tries) {
        const int c = static_cast<int>(std::floor(2 * rng.next())) + 1;
        double x = c == 1 ? rng.next() : rng.next() - 1;
        double y = rng.next();
        if (deepElement && fancy) {
            const int c2 = static_cast<int>(std::floor(2 * rng.next())) + 1;
            y = c2 == 1 ? rng.next() : rng.next() - 1;
        }
        x = toSingle(x);
        y = toSingle(y);
        if (x != 0 && y != 0 && (!deepElement || std::fabs(x) != std::fabs(y))) return {x, y};
    }
    return {0.5, 0.25}; // unreachable with a working random source
}

struct Chain {
    Vec2 h, e1, e2, e3;
    Vec2 d[8]; // d[1]..d[n]
    int n = 0;
};

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
    int step = 0;

    Chain ch;
    ch.n = p.w > 2 ? p.w - 2 : 0;
    ch.h = randomTurn(rng, false, p.fancy);
    ch.e1 = randomTurn(rng, false, p.fancy);
    auto fresh = [&](Vec2& e) {
        e = randomTurn(rng, true, p.fancy);
        if (p.circle) normaliseTurn(e);
    };
    fresh(ch.e3);
    fresh(ch.e2);
    for (int k = 1; k <= ch.n; ++k) fresh(ch.d[k]);
    int period = p.turnPeriod;

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

        if (++step > period) {
            step = 0;
            Vec2& top = ch.n > 0 ? ch.d[ch.n] : ch.e3;
            fresh(top);
        }
        if (dx > half || dx < -half || dy > half || dy < -half || u > half || u < -half ||
            v > half || v < -half)
            return restart();
        if (std::floor(dy) >= std::floor(-dy)) break;

        const Vec2 hd = ch.h;
        dx += hd.x;
        dy += hd.y;
        const double pp = hd.x * kRootHalf, qq = hd.y * kRootHalf;
        u += pp;
        v -= pp;
        if (diagonalPens) markDiagonal();
        u += qq;
        v += qq;

        if (sf.pixel(pixelAt(cx, dx), pixelAt(cy, dy)) == kBorder) out.hits += 1;

        feedTurn(ch.h, p.circle ? ch.e1 : ch.e3);
        normaliseTurn(ch.h);
        feedTurn(ch.e1, p.deep ? ch.e2 : ch.e3);
        normaliseTurn(ch.e1);
        feedTurn(ch.e2, ch.e3);
        if (p.deep) normaliseTurn(ch.e2);
        if (p.w > 2) {
            feedTurn(ch.e3, ch.d[1]);
            if (p.deep) normaliseTurn(ch.e3);
            for (int k = 1; k <= p.w - 3; ++k) {
                feedTurn(ch.d[k], ch.d[k + 1]);
                if (p.deep) normaliseTurn(ch.d[k]);
            }
        }
    }
    if (!p.ignoreHits && out.hits > p.hitLimit) return restart();
    out.result = TraceResult::Closed;
    return out;
}

} // namespace vx
