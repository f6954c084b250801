#pragma once
// The options panel: the shape settings' fields, the two option buttons and "Create random
// shape(s)".
#include "app/shapes.hpp"

namespace vx {

// The top-level menus of the drawing page: shown by "Begin", hidden while the colour editor is
// open ("Palettes" is shown again there).
inline constexpr const char* kDrawingMenus[] = {"options", "patmode", "history",
                                                "export",  "explore", "palettes"};

// Shows or hides the panel as a whole. Label1/Text1 and Label4/Text4 stay hidden either way.
void showOptionsPanel(Shapes& sh);
void hideOptionsPanel(Shapes& sh);

// Key down in Text4: the arrow keys step the number of sides between 4 and 8.
void text4KeyDown(Shapes& sh, int key);

void option1Click(Shapes& sh);
void option2Click(Shapes& sh);
// "Create random shape(s)".
void command1Click(Shapes& sh);

} // namespace vx
