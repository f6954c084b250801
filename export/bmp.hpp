#pragma once
// The 24-bit uncompressed bitmap file form every reader of the program takes.
#include <string>

namespace vx {

class Surface;

// Resolution the window's bitmaps state: 96 dots per inch.
constexpr int kScreenDotsPerMetre = 3780;

// The bytes of a bottom-up 24-bit BMP file holding the surface's pixels, each as a
// scale x scale block.
std::string encodeBmp24(const Surface& s, int dotsPerMetre = kScreenDotsPerMetre, int scale = 1);

} // namespace vx
