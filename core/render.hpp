#pragma once
// One drawing without a window: the options of vortalis-render and the steps that set the
// window state up the way start-up would before the drawing is made.
#include "core/shapes.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vx {

struct RenderOptions {
    bool pattern = true;
    std::optional<uint64_t> seed;
    int width = 1920, height = 1080;
    // Field texts as given; the generators clamp them.
    std::optional<std::string> size, detail, complexity, smoothness, sides;
    std::optional<bool> fancy;
    enum class Colours { Basic, True, User };
    std::optional<Colours> colours;
    std::optional<std::string> palette;
    std::string output;
    bool png = false; // else 24-bit BMP
};

constexpr int kRenderMinSide = 16, kRenderMaxSide = 16384;
constexpr long long kRenderMaxPixels = 64LL * 1024 * 1024;

struct RenderArgs {
    enum class Status { Ok, Help, Bad } status = Status::Ok;
    std::string error; // for Bad: what was wrong
    RenderOptions options;
};

// Reads the command line (without the program name).
RenderArgs parseRenderArgs(const std::vector<std::string>& args);
std::string renderUsage(const std::string& program);

// A palette file's text: 64 colour-list slots, then the number of slots shown; numbers
// separated by blanks, commas or line ends. Slots that hold neither a colour 0..16777215 nor
// a shade code -1..-7, and slots missing at the end, become empty; the count is clamped to
// 1..64 and stays as it was when missing.
void applyPaletteText(State& st, const std::string& text);

// Start values as start-up gives them, then the options. Returns false with a message when
// the palette file cannot be read.
bool prepareRender(Shapes& sh, const RenderOptions& o, uint64_t seed, std::string& error);

// Makes the drawing; returns what is written: the window for a pattern, Picture1 for a shape.
const Surface& renderDrawing(Shapes& sh, const RenderOptions& o);

} // namespace vx
