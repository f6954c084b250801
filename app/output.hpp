#pragma once
// Keeping a drawing: saving it as a numbered bitmap file and printing the window.
#include "app/shapes.hpp"

#include <string>

namespace vx {

// The search for a free file number stops here; a folder that full gets a message instead.
constexpr int kMaxFileNumber = 99999;

// The smallest n >= 1 for which prefix + n + suffix names nothing in the working folder, or 0
// when every number up to limit is taken.
int firstFreeNumber(const std::string& prefix, const std::string& suffix,
                    int limit = kMaxFileNumber);

// "Save shape (press "S")": a pattern as the window image, a single shape as Picture1, under
// the first free "pattern"/"shape" number. Once per drawing. False when nothing was written.
bool saveDrawing(Shapes& sh);

// "Print pattern (press "P")": prints the window as one page with the options panel taken off
// for the moment of printing.
bool printScreen(Shapes& sh);

} // namespace vx
