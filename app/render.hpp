#pragma once
// One drawing without a window: the options of vortalis-render, the drawing they ask for,
// and the drawing made as the window makes its first one.
#include "app/options.hpp"
#include "app/variations.hpp"
#include "base/result.hpp"
#include "export/motion.hpp"
#include "model/drawing.hpp"
#include "model/randomsettings.hpp"
#include "surface/surface.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vx {

struct PaletteList;
class Recorder;

// Field texts as given; the generators clamp them.
struct RenderOptions : DrawingOptions {
    bool pattern = true;
    std::optional<uint64_t> seed;
    int width = 1920, height = 1080;
    std::optional<std::string> sides;
    std::optional<std::string> palette;      // a palette file, else a bundled palette's name
    std::optional<std::string> writePalette; // the colour list written to this file
    bool listPalettes = false;
    std::optional<std::string> scaleFrom; // a picture whose colours make the scale
    std::optional<std::string> code;      // a drawing code, in place of all the above
    std::optional<int> dpi;               // the resolution the file states
    // The K-th new colouring of the drawing; the 3 x 3 sheet of its variations of a kind.
    std::optional<uint32_t> newColours;
    std::optional<VariationKind> variations;
    std::string output;
    // From the output file's ending; the last four record motion.
    enum class Format { Bmp, Png, Svg, Pdf, Mp4, WebM, WebP, Gif } format = Format::Bmp;
    int scale = 1;        // each pixel as scale x scale pixels
    bool tile = false;    // one seamless period of a pattern
    bool force = false;   // read-only files are replaced too
    bool plotter = false; // an SVG of the outline's lines alone
    // Motion: screen-saver mode from the drawing, as a file of the formats above or as a
    // folder of numbered PNG frames.
    std::optional<std::string> frames;  // the folder
    std::optional<int> fps, length;     // frames a second, seconds
    std::optional<std::string> seconds; // the period, as the screen saver's --seconds
    std::optional<bool> slow;
    bool growth = false; // the drawing being made, in place of screen-saver mode

    bool motion() const { return frames || format >= Format::Mp4; }
    // Settings drawn at random from the seed, but those given and those kept.
    bool randomSettings = false;
    SettingLocks keep;
    bool describe = false; // the code's drawing as "name value" lines
};

constexpr int kRenderDefaultFps = 30, kRenderDefaultLength = 10, kRenderMaxLength = 600;

// The frames the options ask for: size, rate and format (a folder of frames counts as WebP,
// which takes any size up to the limit).
MotionSettings renderMotionSettings(const RenderOptions& o);

constexpr int kRenderMinSide = 16, kRenderMaxSide = kMaxSurfaceSide;
constexpr long long kRenderMaxPixels = kMaxSurfacePixels;

constexpr int kRenderMaxScale = 16;

// Why a w x h picture cannot be enlarged scale times within the surface limits, or "".
std::string scaleRefusal(long long w, long long h, int scale);

struct RenderArgs {
    using Status = ArgsStatus;
    Status status = Status::Ok;
    std::string error; // for Bad: what was wrong
    RenderOptions options;
};

// Reads the command line (without the program name); app/options.cpp holds the table.
RenderArgs parseRenderArgs(const std::vector<std::string>& args);

// The drawing the options ask for, with start-up's values (and no settings file) for what
// they leave out; with --random-settings, the settings not kept drawn from a random source of
// their own made from the seed. An unreadable palette file is an error that names it; a damaged one
// is used as the window would use it, and what was wrong with it goes to *warning.
Result<Drawing> renderedDrawing(const RenderOptions& o, uint64_t seed,
                                std::string* warning = nullptr);

// The colour list of --palette: a file of that name (in any format a palette can have), else
// the bundled palette of that name. A damaged palette of the program's own format is used as
// the window uses it, and what was wrong with it goes to *warning.
Result<PaletteList> namedPalette(const std::string& given, std::string* warning = nullptr);

// --list-palettes, and --write-palette (before any drawing): the exit status when the renderer
// is done (a failure, or no -o), or nothing when it goes on to draw. Messages go to stderr,
// names to stdout.
std::optional<int> answerPaletteOptions(const RenderOptions& o);

// Whether the renderer may replace this file: absent, or a regular file (at the end of its
// links) that is not read-only unless forced.
Status writableOutput(const std::string& file, bool force);

// One line on stderr, "vortalis-render: " and the message, its control characters (of a file
// name) shown as "?".
void complain(const std::string& message);

// Draws with the imported colour scale taken from the whole picture (tcolor 2). False when the
// picture holds more colours than the scale, which then keeps the first ones.
bool useScaleFrom(Drawing& d, const Surface& picture);

// Makes a drawing as the window makes it: returns what a save writes, the whole surface for a
// pattern and the shape's picture for a single shape. runSize, when given, receives the side
// of the tile or shape square the run used; a recorder, when given, follows the run.
Surface renderDrawing(const Drawing& d, int* runSize = nullptr, Recorder* rec = nullptr);

// The drawing as the window shows it in regular mode: the whole surface, a single shape in the
// middle of the border colour.
Surface renderView(const Drawing& d);

} // namespace vx
