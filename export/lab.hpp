#pragma once
// CIE L*a*b* for palettes: distances between colours as the eye judges them, and the Lab
// colours of swatch files.
#include <cstdint>

namespace vx {

struct Lab {
    double l = 0, a = 0, b = 0;
};

// An sRGB colour (red in the low byte) in Lab under daylight (D65).
Lab labOf(int32_t rgb);

// A Lab colour given under the printing white (D50), as swatch files give it, in sRGB (red in
// the low byte), adapted to daylight and clipped to what sRGB can show.
int32_t rgbOfD50(const Lab& c);

} // namespace vx
