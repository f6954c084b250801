#pragma once
// Regular and screen-saver modes, their timers, the animation speed, and quitting.
#include "app/shapes.hpp"

namespace vx {

// "Screen-Saver mode" and "Regular mode"; each does nothing but repair fields when its mode
// is already on.
void ssaverClick(Shapes& sh);
void regmodeClick(Shapes& sh);

// "Slow" and "Fast".
void tslowClick(Shapes& sh);
void tfastClick(Shapes& sh);

// Timer1: a new drawing every period in screen-saver mode. Timer2: the slow animation's tick.
void timer1Tick(Shapes& sh);
void timer2Tick(Shapes& sh);

// The window has a new size: the colour editor's page drawn again, or the last drawing shown
// again at the new size. False when nothing needed drawing.
bool windowResized(Shapes& sh);

// "Quit" and closing the window: the program ends at once; nothing is saved.
void quitClick(Shapes& sh);

// Steps the modes share with the style switches.
// Timer1's period from "Seconds waited (scr-mode):", clamped to 1..50 and shown, then Timer1 on.
void startSaverPeriod(Shapes& sh);
// The moving picture in the middle of the window with a fresh random drift.
void centrePicture1(Shapes& sh);

} // namespace vx
