#pragma once
// The "P" and "S" keys of the window and its controls.
#include "app/shapes.hpp"

#include <string>

namespace vx {

constexpr int kKeyP = 80, kKeyS = 83;

// "P" prints the pattern on screen (only when the last drawing was a pattern), "S" saves the
// drawing on screen. True when the key was one of the two and is used up.
bool printSaveKey(Shapes& sh, int key);

// Key-down in a text field: "P" and "S" act as on the window and the field keeps its text.
bool printSaveFieldKey(Shapes& sh, const std::string& field, int key);

} // namespace vx
