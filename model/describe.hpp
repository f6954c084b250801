#pragma once
// What made a drawing, as "name value" lines a user can read.
#include "model/drawing.hpp"

#include <string>

namespace vx {

// kind, seed, size, detail, complexity, smoothness, sides, style and colours, then the colour
// list when it recolours the drawing and the imported scale when the colours come from one.
// Colours are #RRGGBB; a random shade is "random-" and its hue.
std::string describeDrawing(const Drawing& d);

} // namespace vx
