#pragma once
// Palette files: colour-list slots 1..64 one number a line, then the number of slots shown,
// each in print style, lines ended by CR LF.
#include "model/state.hpp"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

// A palette file is 65 short lines; a text far longer is not read past this.
constexpr size_t kPaletteReadLimit = 1 << 20;

// What a palette text gives, made into a list the program can use: the colours and shade
// codes in the order of the file, without gaps, and the number of slots shown that goes with
// them.
struct PaletteList {
    std::array<int32_t, 64> slots{};
    double numcolors = 1;
    // The values (of the 65) that were missing, not numbers, neither colours nor shade codes,
    // out of place after an empty slot, or a count that did not go with the list.
    int damaged = 0;
};

// Reads numbers separated by blanks, commas or line ends: 64 slots, then the count.
PaletteList parsePalette(std::string_view text);

// What the user is told of a palette file with damaged values.
std::string paletteDamage(const std::string& file, int damaged);

// Replaces the colour list (slots past 64 become empty) and numcolors.
void applyPalette(State& st, const PaletteList& p);

// The file's exact text for slots 1..64 and numcolors.
std::string paletteText(const State& st);

} // namespace vx
