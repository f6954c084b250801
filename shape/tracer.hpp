#pragma once
// The outline tracer: eight (or sixteen) mirrored pens that trace one closed symmetric outline.
#include "core/shapes.hpp"

namespace vx {

struct Vec2 {
    double x = 0, y = 0;
};

// Makes the larger component exactly +-1 (one pixel along the main axis per step).
void normaliseTurn(Vec2& v);
// target += source, repeated while a component of the target is 0.
void feedTurn(Vec2& target, const Vec2& source);

struct TraceParams {
    int cx = 0, cy = 0; // centre pixel of the shape square
    double s = 0;       // side of the square (a multiple of ten)
    int w = 0;          // smoothness lowered by one: order of the turning chain
    bool circle = false;
    bool deep = false;
    bool fancy = false;
    int nsides = 4;
    int turnPeriod = 0;
    double hitLimit = 0;
    bool ignoreHits = false; // a last resort after very many refused attempts
};

enum class TraceResult { Closed, Restart };

// One attempt; on Restart the window has been blanked to white.
TraceResult traceAttempt(Shapes& sh, const TraceParams& p);

// Pixel of the centre plus an offset, by the one pixel rule of the generators.
inline int pixelAt(int centre, double offset) {
    return centre + pixelOffset(offset);
}

} // namespace vx
