#pragma once
#include "core/shapes.hpp"

namespace vx {

// Draws one random symmetric shape in the middle of the window and keeps it in Picture1.
void makeshape(Shapes& sh);

// Empties the recent colours and sets the flags of the colours never drawn by the 8-sided rule.
void resetColourBookkeeping(State& st);

// Colours the regions of a closed outline (called by makeshape).
void colourShape(Shapes& sh, int cx, int cy, double s, int nsides);

// Attempts before the hit limit is dropped, and before a run gives up altogether.
constexpr long kRelaxAfterAttempts = 20000;
constexpr long kMaxAttempts = 40000;

} // namespace vx
