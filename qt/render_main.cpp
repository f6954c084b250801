// vortalis-render: one drawing on an offscreen surface, written to a BMP, PNG, SVG or PDF file;
// or screen-saver mode from it, recorded as a video, an animated image or a folder of frames.
#include "app/export.hpp"
#include "app/motion.hpp"
#include "app/render.hpp"
#include "engine/scale.hpp"
#include "model/code.hpp"
#include "platform/files.hpp"
#include "qt/image.hpp"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* kProgram = "vortalis-render";

// The renderer's bitmaps have always stated 100 dots per inch.
constexpr int kRenderDotsPerMetre = 3937;

// The file the options ask for: BMP, PNG (naming the program and keeping the code), SVG or
// PDF.
vx::Result<std::string> encode(const vx::Surface& picture, const vx::RenderOptions& o,
                               const vx::Drawing& drawing, const std::string& code) {
    vx::PictureFile f;
    f.format = o.format;
    f.scale = o.scale;
    f.code = code;
    f.drawing = drawing;
    f.tile = o.tile;
    f.plotter = o.plotter;
    if (o.dpi) {
        f.dotsPerMetre = static_cast<int>(std::lround(*o.dpi / 0.0254));
        f.dpi = *o.dpi;
    } else if (o.format == vx::RenderOptions::Format::Bmp) {
        f.dotsPerMetre = kRenderDotsPerMetre;
    }
    std::string note;
    vx::Result<std::string> bytes = vx::encodePicture(picture, f, &note);
    if (!note.empty()) std::fprintf(stderr, "%s: %s\n", kProgram, note.c_str());
    return bytes;
}

// Says on stderr why the file could not be written; the exit status for it.
int cannotWrite(const std::string& output, const vx::Error& e) {
    std::fprintf(stderr, "%s: cannot write \"%s\": %s\n", kProgram, output.c_str(),
                 e.message.c_str());
    return 1;
}

// The seed the options give, else one from the clock, said on stdout so that the drawing can
// be made again. A drawing code needs none.
uint64_t chosenSeed(const vx::RenderOptions& o) {
    if (o.seed) return *o.seed;
    if (o.code) return 0;
    const auto seed = static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch() /
                                            std::chrono::microseconds(1));
    std::printf("seed %llu\n", static_cast<unsigned long long>(seed));
    std::fflush(stdout);
    return seed;
}

// The drawing the options ask for: decoded from its code at the size asked for, or drawn.
vx::Result<vx::Drawing> chosenDrawing(const vx::RenderOptions& o) {
    const uint64_t seed = chosenSeed(o);
    std::string warning;
    vx::Result<vx::Drawing> drawing =
        o.code ? vx::decodeDrawing(*o.code) : vx::renderedDrawing(o, seed, &warning);
    if (!warning.empty()) std::fprintf(stderr, "%s: %s\n", kProgram, warning.c_str());
    if (drawing && o.code) {
        drawing->width = o.width;
        drawing->height = o.height;
    }
    return drawing;
}

// Gives the drawing the colour scale of the picture file; false when it cannot be read.
bool takeScale(vx::Drawing& drawing, const std::string& file) {
    const vx::Result<vx::Surface> picture = vx::readPictureFile(file);
    if (!picture) {
        std::fprintf(stderr, "%s: cannot read the picture \"%s\": %s\n", kProgram, file.c_str(),
                     picture.error().message.c_str());
        return false;
    }
    if (!vx::useScaleFrom(drawing, *picture))
        std::fprintf(stderr,
                     "%s: the picture holds more than %d colours; the scale keeps the first of "
                     "them\n",
                     kProgram, vx::kMaxScaleColours);
    return true;
}

// Draws the whole drawing, or one tile of it, into the output file; the exit status.
int writePicture(const vx::Drawing& drawing, const vx::RenderOptions& o, const std::string& code) {
    const vx::Result<vx::Surface> picture =
        o.tile ? vx::patternTile(drawing) : vx::Result<vx::Surface>(vx::renderDrawing(drawing));
    if (!picture) {
        std::fprintf(stderr, "%s: %s\n", kProgram, picture.error().message.c_str());
        return 2;
    }
    const vx::Result<std::string> bytes = encode(*picture, o, drawing, code);
    const vx::Status written = bytes ? vx::writeFileAtomically(o.output, *bytes) : bytes.error();
    return written ? 0 : cannotWrite(o.output, written.error());
}

// Screen-saver mode from the drawing, printing the code of each drawing as it comes on.
int record(const vx::RenderOptions& o, const vx::Drawing& first) {
    const vx::Result<std::string> written =
        vx::recordRendered(o, first, [](const vx::Drawing& shown) {
            std::printf("code %s\n", vx::drawingCode(shown).c_str());
            std::fflush(stdout);
        });
    if (written) return 0;
    return cannotWrite(o.frames ? *o.frames : o.output, written.error());
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const vx::RenderArgs parsed = vx::parseRenderArgs(args);
    if (const std::optional<int> rc = vx::answerArgs(vx::Cli::Render, parsed.status, parsed.error))
        return *rc;
    const vx::RenderOptions& o = parsed.options;
    if (const std::optional<int> rc = vx::answerPaletteOptions(o)) return *rc;
    // Never through a link, never over a device or anything else that is not a file.
    if (const vx::Status usable = vx::regularOrAbsent(o.output); !usable)
        return cannotWrite(o.output, usable.error());
    vx::Result<vx::Drawing> drawing = chosenDrawing(o);
    if (!drawing) {
        std::fprintf(stderr, "%s: %s\n", kProgram, drawing.error().message.c_str());
        return 2;
    }
    if (o.scaleFrom && !takeScale(*drawing, *o.scaleFrom)) return 2;
    if (o.motion()) return record(o, *drawing);
    const std::string code = vx::drawingCode(*drawing);
    std::printf("code %s\n", code.c_str());
    std::fflush(stdout);
    return writePicture(*drawing, o, code);
}
