#pragma once
// Drawing codes: a drawing's kind, seed and settings (and its colour list and imported scale
// when they are used) as a short text of letters and digits that are hard to misread, in
// groups of five, with a check character that catches any one mistyped character.
#include "base/result.hpp"
#include "model/drawing.hpp"

#include <string>
#include <string_view>

namespace vx {

// A code carries an imported scale of at most this many colours; the code of a drawing with a
// larger scale says that it cannot make the drawing again.
constexpr size_t kMaxCodedScale = 4096;

// The code of a drawing; its width and height are not part of it.
std::string drawingCode(const Drawing& d);

// The drawing a code gives (width and height 0). A code that was mistyped, cut short or is
// no code at all is an error that says so, and so is the code of a drawing whose scale was too
// large to carry.
Result<Drawing> decodeDrawing(std::string_view code);

// The sides a drawing gives the same drawing with: 2 and 8 change shapes and patterns, every
// other number draws as 4.
double sidesAsDrawn(double sides);

} // namespace vx
