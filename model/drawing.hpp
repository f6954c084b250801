#pragma once
// What one drawing is made of: the settings it uses, and the drawing as a small value (kind,
// seed, settings, surface size) from which it can be made again.
#include "model/state.hpp"
#include "surface/numeric.hpp"

#include <cstdint>
#include <optional>
#include <vector>

namespace vx {

// Where the colours of a drawing come from.
struct ColourSettings {
    // The colour source and the list switch, as the state's tcolor and tcolor2: a tcolor
    // other than kBasicColours and kImportedColours draws true colours.
    double tcolor = kTrueColours;
    double tcolor2 = kListOn; // kListOn: the largest areas are recoloured from the list
    // The colour list from slot 1 up to its first empty slot: colours and shade codes.
    std::vector<int32_t> list;
    // The imported scale, slots 1..cgf (an empty slot reads as 0).
    std::vector<int32_t> scale;
    // The first-pass draw before the drawing's first, whose repeat is refused; every drawing
    // starts from none, so that its seed and settings make it again.
    int32_t lastpick = 0;
};

// The settings of one drawing, as the option fields give them after clamping.
struct DrawSettings {
    double size = 200;          // side of the shape square or tile, 40..400
    double detail = 16;         // 1..25
    double complexity = 1;      // 1..25
    double smoothness = 2;      // 1..9
    double shapeComplexity = 0; // 0..20; read and kept, used by no drawing
    double sides = 4;           // not clamped: 2 and 8 change a shape, 8 a pattern
    bool fancy = true;          // "Shapes Fancy" rather than "Shapes Regular"
    ColourSettings colour;
};

enum class DrawingKind { Shape, Pattern };

struct Drawing {
    DrawingKind kind = DrawingKind::Pattern;
    uint64_t seed = 0;
    DrawSettings settings;
    int width = 0, height = 0; // the window's inner size
    // 0: coloured from the seed's stream, after the outline. K >= 1: the K-th new colouring of
    // the same outline, its colours drawn from a stream of their own.
    uint32_t newColours = 0;
};

// The stream a drawing's colours come from when it is a new colouring; none when they follow
// the outline in the seed's own stream.
std::optional<Random> colourStream(uint64_t seed, uint32_t newColours);

// The colour part of the settings as the window state holds it now.
ColourSettings colourSettings(const State& st);

} // namespace vx
