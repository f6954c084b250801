#pragma once
// The colour editor: the list page of the user's colours, the shade pages, and the way back to
// the drawing.
#include "app/shapes.hpp"

#include <string>

namespace vx {

// The scratch bitmap that keeps the drawing while the editor is open.
constexpr const char* kDrawingKeptFile = "drawing1.bmp";

// List page cells: the first cell's anchor, the steps between cells.
constexpr int kCellLeft = 8, kCellTop = 56, kCellStepX = 100, kCellStepY = 48, kCellWidth = 54;
// Shade page swatches: the first swatch, the steps, and the area in which a click picks.
constexpr int kSwatchLeft = 8, kSwatchTop = 66, kSwatchStepX = 104, kSwatchStepY = 66;
constexpr int kSwatchWidth = 81, kSwatchHeight = 33;
constexpr int kPickLeft = 8, kPickRight = 817, kPickTop = 66, kPickBottom = 429;

// "Edit colors".
void editcolorsClick(Shapes& sh);
// Draws the list page's cells (drawcolors).
void drawcolors(Shapes& sh);
// Paints the editor's white background.
void paintEditorBackground(Shapes& sh);
// The page that is open drawn again, for a window of a new size.
void repaintEditorPage(Shapes& sh);
// The list page's buttons shown again, the shade pages' labels hidden.
void showListPage(Shapes& sh);

// A mouse button on the window: selects a cell on the list page, picks a shade on a shade page.
void editorMouseDown(Shapes& sh, int button, double x, double y);

// The shade choosers: the page of the table of a random-shade code (-1 blue .. -7 grey).
void chooseShade(Shapes& sh, int code);
// "White" and "Black".
void whiteClick(Shapes& sh);
void blackClick(Shapes& sh);
// "Delete Color", "Reset Colors", "Shifter Color Upwards", "Shift Color Downwards", and
// "Choose Random Shade".
void command2Click(Shapes& sh);
void command8Click(Shapes& sh);
void command9Click(Shapes& sh);
void command10Click(Shapes& sh);
void command11Click(Shapes& sh);

// A sentence for the status line after the list changed, when the colour mode does not draw
// with it (starting with a space); empty when it does.
std::string userColoursNote(const Shapes& sh);

// "Quit to main page".
void quit2Click(Shapes& sh);

} // namespace vx
