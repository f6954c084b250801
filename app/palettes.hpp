#pragma once
// The colour editor's palette pages: the user's colour list saved to and loaded from
// name + ".palette" files in the working folder.
#include "app/shapes.hpp"

namespace vx {

// "Save color-palette" and "Load color-palette": open their pages.
void scolorClick(Shapes& sh);
void lcolorClick(Shapes& sh);
// A click in the file list of the save page (File3) or of the load page (File2).
void file3Click(Shapes& sh);
void file2Click(Shapes& sh);
// "Done" saves or loads, by the page; "Cancel" goes back to the list.
void command12Click(Shapes& sh);
void command13Click(Shapes& sh);

} // namespace vx
