#pragma once
// The outline tracer: eight (or sixteen) mirrored pens that trace one closed symmetric outline.
#include "engine/recorder.hpp"
#include "engine/turns.hpp"
#include "surface/numeric.hpp"
#include "surface/surface.hpp"

namespace vx {

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

struct TraceOutcome {
    TraceResult result = TraceResult::Restart;
    double hits = 0; // times the first pen came back onto the outline
};

// One attempt on a white surface; on Restart the surface is white again. A recorder, when
// given, follows the attempt (engine/recorder.hpp).
TraceOutcome traceAttempt(Surface& sf, Random& rng, const TraceParams& p, Recorder* rec = nullptr);

// Pixel of the centre plus an offset, by the one pixel rule of the generators.
inline int pixelAt(int centre, double offset) {
    return centre + pixelOffset(offset);
}

} // namespace vx
