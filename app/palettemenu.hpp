#pragma once
// The "Palettes" menu, on the drawing page and in the colour editor: the bundled palettes,
// palettes of other programs read and written, and a palette made from a picture. Each
// replaces the colour list as "Load color-palette" does.
#include "app/events.hpp"
#include "app/shapes.hpp"
#include "export/bundled.hpp"

namespace vx {

// Adds the menu after the window's others; hidden until "Begin", as they are.
void addPaletteMenu(ui::Form& form);
// Registers the menu's handlers.
void onPaletteMenu(Events& e);

// The menu item of a bundled palette.
std::string paletteItem(const BundledPalette& b);

void useBundled(Shapes& sh, const BundledPalette& b);
// "Import palette...", "Export palette..." and "Palette from picture...".
void importPaletteClick(Shapes& sh);
void exportPaletteClick(Shapes& sh);
void picturePaletteClick(Shapes& sh);

} // namespace vx
