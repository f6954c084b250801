#pragma once
// The "History" menu: earlier drawings of the session shown again from their codes, and codes
// copied and typed.
#include "app/shapes.hpp"
#include "model/drawing.hpp"

namespace vx {

// Shows a drawing again: the fields, switches and colour mode as it used them, then the
// drawing from its own seed. A drawing reached by its code is also added to the history.
void showDrawing(Shapes& sh, const Drawing& d, bool addToHistory);

// "Previous drawing", "Next drawing" (nothing at either end of the history), "Copy drawing
// code" and "Go to drawing code...".
void previousDrawingClick(Shapes& sh);
void nextDrawingClick(Shapes& sh);
void copyCodeClick(Shapes& sh);
void goToCodeClick(Shapes& sh);

// "Previous drawing" and "Next drawing" enabled only where the history goes on.
void markHistoryEnds(Shapes& sh);

// The longest code the window makes: a full colour list of 64 colours (as many as the
// settings file and palettes keep), settings with fractions, a seed of 64 bits and the last
// new colouring.
std::string longestDrawingCode();

} // namespace vx
