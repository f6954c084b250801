#pragma once
// Start-up, the main page and the main loop. Start-up must not block the event loop, so it is
// cut where it would wait: startup() prepares and shows the main page, "Begin" ends it, and a
// steady timer calls mainLoopTick() for the rest (the first drawing, then the loop's passes).
#include "app/shapes.hpp"

namespace vx {

// Period of the timer that drives mainLoopTick(), in ms.
constexpr int kLoopIntervalMs = 16;
// Passes of the main loop per tick. At "Fast" the moving picture goes 0.01 pixel per pass, so
// 200 passes a tick give 2 pixels per tick, about 125 pixels a second at 16 ms.
constexpr int kLoopPassesPerTick = 200;
// Loop ticks the slow animation waits for its Timer2 tick before it goes on without it.
constexpr int kMaxSlowWaitTicks = 60;

// Runs once when the window first becomes active: start values, the settings file, the first
// pattern of the main page, and Timer6.
void startup(Shapes& sh);

// "Begin" (Command4): leaves the main page. The first drawing follows at the next loop tick.
void command4Click(Shapes& sh);

// Timer6: a new pattern on the main page.
void timer6Tick(Shapes& sh);

// One tick of the steady loop timer: after "Begin" it makes the first drawing (returns true
// then, as the window needs repainting); afterwards it runs the main loop's passes.
bool mainLoopTick(Shapes& sh);

// One pass of the main loop. Returns false when the pass stopped at the slow-animation wait;
// the next tick that finds the wait over finishes it.
bool mainLoopPass(Shapes& sh);

} // namespace vx
