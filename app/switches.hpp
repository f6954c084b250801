#pragma once
// The "Pattern mode" menu: single shapes or patterns.
#include "app/shapes.hpp"

#include <string>

namespace vx {

inline const std::string kNextDrawing = "The next drawing uses it.";

// "Create single shape"; nothing happens when single shapes are already chosen.
void csingleClick(Shapes& sh);
// "Create pattern"; nothing happens when patterns are already chosen.
void cpatternClick(Shapes& sh);

// The status line after a choice of style, speed or colour mode: "What: Caption." and when
// it shows (empty when it shows at once), or that it was already chosen.
void announceChoice(Shapes& sh, const std::string& what, const std::string& item, bool changed,
                    const std::string& when = kNextDrawing);

} // namespace vx
