#pragma once
// Start-up, the main page and the main loop. Start-up must not block the event loop, so it is
// cut where it would wait: startup() prepares and shows the main page, "Begin" ends it, and a
// steady timer calls mainLoopTick() for the rest (the first drawing, then the loop's passes).
#include "app/shapes.hpp"

#include <cstdint>
#include <string>

namespace vx {

// Passes of the main loop a second. At "Fast" a pass moves the picture 0.01 pixel, so 24,000
// passes glide it 240 pixels a second (eight seconds across a full-HD screen). At "Slow" a
// pass moves it a whole pixel and waits for its Timer2 tick; one such tick a frame, 60 a
// second, glides it 60 pixels a second: a quarter of "Fast", as calm as a screen saver wants.
constexpr double kFastPassesPerSecond = 24000;
constexpr double kSlowPassesPerSecond = 60;
// The longest gap between frames that passes are made up for.
constexpr double kMaxFrameGap = 1.0 / 30;
// Frames the slow animation waits for its Timer2 tick before it goes on without it.
constexpr int kMaxSlowWaitTicks = 60;

// Runs once when the window first becomes active: start values, the settings file, the first
// pattern of the main page, and Timer6.
void startup(Shapes& sh);
// Start-up's values and its first reading of the settings file, and the random source seeded
// from the clock (plus salt, which tells savers started together apart).
void startValues(Shapes& sh, const std::string& file, uint64_t salt = 0);

// "Begin" (Command4): leaves the main page. The first drawing follows at the next loop tick.
void command4Click(Shapes& sh);

// Timer6: a new pattern on the main page.
void timer6Tick(Shapes& sh);

// One frame of the steady loop timer, at `now` seconds of the steady clock: after "Begin" it
// makes the first drawing (returns true then, as the window needs repainting); afterwards it
// runs the main loop's passes due since the last frame and places the moving picture once.
bool mainLoopTick(Shapes& sh, double now);
// The same at the platform's steady clock.
bool mainLoopTick(Shapes& sh);

// The moving picture's edge (left or top) brought inside the window along one axis; then
// bounced: the step turns back where it would leave.
double keepInside(double pos, double side, double extent);
void bounce(double& pos, double& step, double side, double extent);

// The moving picture brought back inside the window (after the window shrank).
void keepPicture1Inside(Shapes& sh);

// One pass of the main loop. Returns false when the pass stopped at the slow-animation wait;
// the next frame that finds the wait over finishes it.
bool mainLoopPass(Shapes& sh);

} // namespace vx
