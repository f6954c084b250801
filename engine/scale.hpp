#pragma once
// The imported colour scale: the distinct colours of a picture, in the order of their first
// appearance, without white, light grey and the border colour.
#include "surface/surface.hpp"

#include <cstdint>
#include <vector>

namespace vx {

// The scale holds at most this many colours.
constexpr int kMaxScaleColours = 100000;

struct ScaleScan {
    std::vector<int32_t> colours;
    bool full = false; // more colours were found than the scale holds
};

// Scans the picture as it shows in a box of boxW x boxH at its top-left corner, rows from the
// top, each row from column firstX; points the picture does not cover show the box's white.
ScaleScan scanScale(const Surface& picture, int boxW, int boxH, int firstX);

// Scans the whole picture, every row from its first column.
inline ScaleScan scanScale(const Surface& picture) {
    return scanScale(picture, picture.width(), picture.height(), 0);
}

} // namespace vx
