#pragma once
// The seven shade tables of the colour list's random-shade codes, 20 shades each, light to
// dark. They never change.
#include <array>
#include <cstdint>

namespace vx {

// Entries 1..20 hold the shades; entry 0 is unused (0).
using ShadeTable = std::array<int32_t, 21>;

extern const ShadeTable kBlueShades, kRedShades, kGreenShades, kPurpleShades, kYellowShades,
    kBrownShades, kGreyShades;

// The table of a random-shade code -1..-7 (blue, red, green, purple, yellow, brown, grey), or
// nullptr for any other value.
const ShadeTable* shadeTable(int32_t code);

} // namespace vx
