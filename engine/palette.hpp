#pragma once
// The text of a palette file: colour-list slots 1..64 one number a line, then the number of
// slots shown.
#include "model/state.hpp"

#include <string>

namespace vx {

// Reads a palette text into the colour list: numbers separated by blanks, commas or line
// ends. Slots that hold neither a colour 0..16777215 nor a shade code -1..-7, and slots missing
// at the end, become empty; the count is clamped to 1..64 and stays as it was when missing.
void applyPaletteText(State& st, const std::string& text);

} // namespace vx
