#pragma once
// The option fields as the program uses them, by the one field table.
#include "app/shapes.hpp"
#include "model/drawing.hpp"
#include "model/fields.hpp"

namespace vx {

// Reads a field: its number, clamped to the field's range and (unless told not to) written
// back so that the field shows the value used; the state member keeps it too.
double readField(Shapes& sh, const FieldSpec& f, bool writeBack = true);

// The settings of a drawing as the fields, the option buttons and the colour state give them
// now; every drawing field is clamped and written back.
DrawSettings readDrawSettings(Shapes& sh);

// Key release in a field: a number above the field's cap becomes the cap. Only too large
// numbers are caught while typing; too small ones wait for their use.
void capField(Shapes& sh, const FieldSpec& f);

} // namespace vx
