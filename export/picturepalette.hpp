#pragma once
// A palette from a picture: its most representative colours, found by median cut in CIE Lab and
// refined by k-means, ordered by how much of the picture each covers.
#include "surface/surface.hpp"

#include <cstdint>
#include <vector>

namespace vx {

// What the status line says of the method.
constexpr const char* kPicturePaletteMethod = "median cut in Lab, refined by k-means";

struct PictureColour {
    int32_t rgb = 0;  // red in the low byte
    double share = 0; // of the picture's pixels, 0..1
};

// At most n colours (1..64), the largest share first; fewer when the picture has fewer. Every
// pixel counts once, at 5 bits a channel: the rest of the work does not grow with the picture.
std::vector<PictureColour> pictureColours(const Surface& picture, int n);

} // namespace vx
