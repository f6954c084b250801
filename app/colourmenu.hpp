#pragma once
// The colour-mode menu.
#include "app/shapes.hpp"

namespace vx {

// The colour-mode menu items. Each does nothing when its mode is already on.
void bcolor7Click(Shapes& sh); // "Basic color (15 colors)"
void tcolor7Click(Shapes& sh); // "True color (16000000 colors)"
void ucolorsClick(Shapes& sh); // "User defined colors"

// Takes the first-pass colours from the imported colour scale (tcolor 2), keeping the list
// switch; none of the three mode items is checked then. Refused, with a status message, while
// the scale is empty. Returns whether the mode changed.
bool selectImportedScale(Shapes& sh);

} // namespace vx
