#pragma once
// The import page: the distinct colours of a bitmap of the working folder become the imported
// colour scale.
#include "app/shapes.hpp"

namespace vx {

// "Import color scale" (a menu item never shown; the page is reached through its handler).
void impcolorClick(Shapes& sh);
// A click in the page's file list.
void file1Click(Shapes& sh);
// "Done": the scan of the chosen bitmap as it shows in the sampling box.
void command6Click(Shapes& sh);
// "Cancel" has no action.
void command7Click(Shapes& sh);

} // namespace vx
