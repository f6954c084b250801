#pragma once
// Variations of a drawing to choose from: new colourings of the same outline, drawings of other
// seeds with the same settings, or one setting nudged; each a drawing of its own, with its
// code. The grid they are shown in, on the window's page and on the renderer's sheet.
#include "model/drawing.hpp"
#include "surface/surface.hpp"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace vx {

enum class VariationKind { Colours, Seeds, Settings };

constexpr int kVariations = 8;    // around the drawing
constexpr int kCentreCell = 4;    // the drawing itself, in the middle of the 3 x 3 grid
constexpr int kGridGap = 8;       // between the cells and around them
constexpr int kCaptionSpace = 20; // under a cell on the window's page

// The kind named on the renderer's command line: colours, seeds or settings.
std::optional<VariationKind> variationKind(const std::string& name);

// The next new colouring of a drawing: K + 1 (after the last, 1 again).
uint32_t nextColouring(uint32_t k);

// The eight variations of deal n (0, 1, ...) around d, each a drawing at d's size. New
// colourings use the colour rules given (the window's now; the drawing's own for the renderer)
// and count on from d's colouring; other seeds keep d's settings and colours; nudged settings
// each move one of size, detail, complexity, smoothness or the style by a step inside its
// range, every setting at least once a deal. The same arguments give the same eight.
std::vector<Drawing> variations(const Drawing& d, VariationKind kind, int deal,
                                const ColourSettings& colours);

// What a variation changed, to show under its cell ("Seed 123", "Detail 15").
std::string variationCaption(const Drawing& d, const Drawing& v, VariationKind kind);

struct Box {
    int x = 0, y = 0, w = 0, h = 0;
    bool holds(double px, double py) const {
        return px >= x && px < x + w && py >= y && py < y + h;
    }
};

// The 3 x 3 grid in an area: each cell's box (reading order, the centre at kCentreCell) and the
// place of its picture, of the drawing's proportions, centred in the box above its caption.
struct VariationGrid {
    std::array<Box, 9> cells, pictures;
};
VariationGrid variationGrid(const Box& area, int drawingW, int drawingH, int caption);

// The drawing as the window shows it, at its full size, scaled down smoothly to w x h.
Surface variationPicture(const Drawing& d, int w, int h);

// The renderer's sheet at the drawing's size: the drawing in the middle (its view given, or
// made) and the eight around it, made on threads beside this one.
Surface variationSheet(const Drawing& centre, const std::vector<Drawing>& eight,
                       const Surface* centreView = nullptr);

} // namespace vx
