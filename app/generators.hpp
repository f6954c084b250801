#pragma once
// The two drawings as the window makes them: each owns the window around the engine's pure
// drawing (maximise, the settings read from the fields, the yield, Timer1 paused, the menu
// items, what the run leaves behind for saving, printing and the moving picture).
#include "app/shapes.hpp"
#include "engine/pattern.hpp"
#include "engine/shape.hpp"

#include <optional>

namespace vx {

// How a drawing is made: with a fresh seed from the program's random source and kept in the
// history, or again from the seed of an earlier one; newColours K >= 1 makes the K-th new
// colouring of the seed's outline.
struct DrawRequest {
    std::optional<uint64_t> seed;
    bool record = true;
    PatternLimits limits;
    uint32_t newColours = 0;
};

// One random symmetric shape in the middle of the window, kept in Picture1.
ShapeRun makeshape(Shapes& sh, const DrawRequest& req = {});

// The whole window filled with a repeating pattern of one symmetric tile.
PatternRun makeshape2(Shapes& sh, const DrawRequest& req = {});
inline PatternRun makeshape2(Shapes& sh, const PatternLimits& limits) {
    return makeshape2(sh, DrawRequest{{}, true, limits, 0});
}

// The window has a new size: the last drawing shown again at it at once, not as a new
// drawing (the history, the status line, the menu items and what was saved stay as they
// were). A pattern is made again at the new size, a shape is centred again, a gliding shape
// kept inside the window. False when there was nothing to show again (the drawing is shown at
// this size, or the colour editor or the favourites page covers it).
bool reshowDrawing(Shapes& sh);

// A drawing's seed: a fresh whole number from the program's random source.
uint64_t freshSeed(Random& rng);

// A drift step of the moving shape picture: +0.01 or -0.01, by a random whole number 1 or 2.
inline double driftStep(Random& rng) {
    return rng.upTo(2) == 1 ? 0.01 : -0.01;
}

} // namespace vx
