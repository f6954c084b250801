#pragma once
// The "Pattern mode" menu: single shapes or patterns.
#include "app/shapes.hpp"

namespace vx {

// "Create single shape"; nothing happens when single shapes are already chosen.
void csingleClick(Shapes& sh);
// "Create pattern"; nothing happens when patterns are already chosen.
void cpatternClick(Shapes& sh);

} // namespace vx
