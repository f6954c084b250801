#pragma once
// The "Explore" menu's "New colours" and "Variations...": the drawing on screen coloured again,
// and the page of variations that covers the drawing area and gives it back as it was.
#include "app/shapes.hpp"
#include "app/variations.hpp"

namespace vx {

constexpr int kKeyEnter = 13, kKeyEscape = 27;
// Where the grid starts: the page's controls are above it.
constexpr int kPageTop = 48;

// "New colours": the outline and regions on screen coloured again by the colour rules chosen
// now, from a stream of their own; a drawing of its own in the history.
void newColoursClick(Shapes& sh);

// "Variations...": the drawing on screen in the middle and eight variations around it.
void variationsClick(Shapes& sh);
// The kind of variation chosen on the page; "More" (eight new ones); "Back" (nothing changed).
void variationKindClick(Shapes& sh, VariationKind kind);
void varmoreClick(Shapes& sh);
void varbackClick(Shapes& sh);
// A left click on a cell makes its drawing the one on screen; another button selects it.
void variationsMouseDown(Shapes& sh, int button, double x, double y);
// While the page is open: the arrow keys select, Enter takes, Escape goes back; "P" and "S" do
// nothing. True when the key was used.
bool variationsKey(Shapes& sh, int key);
// The page laid out again for a window of a new size.
void repaintVariationPage(Shapes& sh);

} // namespace vx
