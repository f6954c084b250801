#pragma once
// Keeping a drawing: saving it as a numbered bitmap file and printing the window.
#include "app/shapes.hpp"
#include "platform/files.hpp" // firstFreeNumber, writeNewNumbered, kMaxFileNumber

#include <string>

namespace vx {

// "Save shape (press "S")": a pattern as the window image, a single shape as Picture1, under
// the first free "pattern"/"shape" number, claimed so that no other window's save can take it.
// Once per drawing; a second time says where it went. False when nothing was written.
bool saveDrawing(Shapes& sh);

// A read-only file is replaced only when the user says so. False when not: the status line
// then says the file was kept.
bool mayReplace(Shapes& sh, const std::string& file);

// "Print pattern (press "P")": prints the window as one page with the options panel taken off
// for the moment of printing.
bool printScreen(Shapes& sh);

} // namespace vx
