#pragma once
// Palettes as other programs write them: GIMP (also Inkscape's and Krita's), Adobe Swatch
// Exchange, plain hex lists, Paint.NET and JASC, beside the program's own ".palette". Read
// into the colour list, and the list written out again.
#include "base/result.hpp"
#include "engine/palette.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

enum class PaletteFormat { Own, Gpl, Ase, Hex, PaintNet, Jasc };

// A palette file is read no further than this; a larger one is refused.
constexpr size_t kPaletteFileLimit = size_t{4} << 20;

// White as the "White" choice stores it: the plain white of a drawing is never a fill colour.
constexpr int32_t kListWhite = 16777213;

// A colour of a file as the list stores it: black (and the border colour 1) as 2, white as
// 16777213, so that it draws what the same colour picked in the editor draws.
int32_t listColour(int r, int g, int b);

// The colour a list value stands for in a file other programs read: black and white as
// themselves, a random-shade code as the full shade of its hue (entry 12 of its table).
int32_t fileColour(int32_t value);

// "GIMP palette", "Adobe Swatch Exchange file", ...
const char* formatName(PaletteFormat f);

struct ReadPalette {
    PaletteList list; // slots 1..64 and the count, as the own files give them
    PaletteFormat format = PaletteFormat::Own;
    std::string name; // the name the palette gives itself, when it gives one
    int colours = 0;  // colours in the file
    int leftOut = 0;  // colours past slot 64, not taken
};

// Reads the bytes of a palette file. The format is known by its content (the file name's
// ending decides only between text formats the content fits alike). A damaged foreign file is
// refused whole; the program's own format is read as "Load color-palette" reads it.
Result<ReadPalette> parsePaletteFile(std::string_view bytes, const std::string& file);

// Reads a regular file of at most kPaletteFileLimit bytes and parses it.
Result<ReadPalette> readPaletteFile(const std::string& file);

// The format a written file takes from its name's ending: .gpl, .ase, .hex or .palette.
std::optional<PaletteFormat> writtenFormat(const std::string& file);

struct EncodedPalette {
    std::string bytes;
    int shadesAsColours = 0; // random-shade codes written as the colour of their hue
};

// The file for the list (slot 1 first, up to its first empty slot, at most 64), named name.
// The own format keeps shade codes and the editor's count.
EncodedPalette encodePalette(const std::vector<int32_t>& list, PaletteFormat f,
                             const std::string& name);

} // namespace vx
