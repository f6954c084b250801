// vortalis-render: one drawing on an offscreen surface, written to a BMP, PNG, SVG or PDF file;
// or screen-saver mode from it, or the drawing being made, recorded as a video, an animated
// image or a folder of frames.
#include "app/export.hpp"
#include "app/motion.hpp"
#include "app/render.hpp"
#include "engine/scale.hpp"
#include "export/vector.hpp"
#include "model/code.hpp"
#include "model/describe.hpp"
#include "platform/files.hpp"
#include "qt/image.hpp"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

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
    if (!note.empty()) vx::complain(note);
    return bytes;
}

// Says on stderr why the file could not be written; the exit status for it.
int cannotWrite(const std::string& output, const vx::Error& e) {
    vx::complain("cannot write \"" + output + "\": " + e.message);
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
    if (!warning.empty()) vx::complain(warning);
    if (drawing && o.code) {
        drawing->width = o.width;
        drawing->height = o.height;
        // A new colouring of a code's drawing by the colour rules the options give.
        if (o.colours || o.palette) {
            const vx::Result<vx::Drawing> rules = vx::renderedDrawing(o, 0, &warning);
            if (!warning.empty()) vx::complain(warning);
            if (!rules) return rules.error();
            drawing->settings.colour = rules->settings.colour;
        }
    }
    if (drawing && o.newColours) drawing->newColours = *o.newColours;
    return drawing;
}

// Gives the drawing the colour scale of the picture file; false when it cannot be read.
bool takeScale(vx::Drawing& drawing, const std::string& file) {
    const vx::Result<vx::Surface> picture = vx::readPictureFile(file);
    if (!picture) {
        vx::complain("cannot read the picture \"" + file + "\": " + picture.error().message);
        return false;
    }
    if (!vx::useScaleFrom(drawing, *picture))
        vx::complain("the picture holds more than " + std::to_string(vx::kMaxScaleColours) +
                     " colours; the scale keeps the first of them");
    return true;
}

// Says when a PDF page takes another size than its dpi asks for, to stay within PDF's sizes.
void notePdfPage(const vx::Surface& picture, const vx::RenderOptions& o) {
    if (o.format != vx::RenderOptions::Format::Pdf) return;
    vx::VecPage page;
    page.scale = o.scale;
    page.dpi = o.dpi.value_or(page.dpi);
    const double asked = 72.0 / page.dpi * page.scale;
    const double units = vx::pdfUnitsPerPixel(picture.width(), picture.height(), page);
    if (std::abs(units - asked) <= asked * 1e-9) return;
    auto side = [](double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%.6g", v);
        return std::string(text);
    };
    vx::complain("at " + std::to_string(page.dpi) + " dpi" +
                 (page.scale > 1 ? " and --scale " + std::to_string(page.scale) : "") +
                 " the PDF page would be " + side(picture.width() * asked) + " x " +
                 side(picture.height() * asked) + " units, and PDF's pages are " +
                 side(vx::kPdfLeastSide) + " to " + side(vx::kPdfMostSide) +
                 " a side: the page is " + side(picture.width() * units) + " x " +
                 side(picture.height() * units) + " units");
}

// Draws the whole drawing, or one tile of it, into the output file; the exit status.
int writePicture(const vx::Drawing& drawing, const vx::RenderOptions& o, const std::string& code) {
    const vx::Result<vx::Surface> picture =
        o.tile ? vx::patternTile(drawing) : vx::Result<vx::Surface>(vx::renderDrawing(drawing));
    if (!picture) {
        vx::complain(picture.error().message);
        return 2;
    }
    if (const std::string refused = vx::scaleRefusal(picture->width(), picture->height(), o.scale);
        !refused.empty()) {
        vx::complain(refused);
        return 2;
    }
    notePdfPage(*picture, o);
    const vx::Result<std::string> bytes = encode(*picture, o, drawing, code);
    const vx::Status written = bytes ? vx::writeFileAtomically(o.output, *bytes) : bytes.error();
    return written ? 0 : cannotWrite(o.output, written.error());
}

// The sheet of the drawing amid eight variations; their codes go to stdout in reading order.
int writeVariations(const vx::Drawing& drawing, const vx::RenderOptions& o) {
    const std::vector<vx::Drawing> eight =
        vx::variations(drawing, *o.variations, 0, drawing.settings.colour);
    for (const vx::Drawing& v : eight) std::printf("code %s\n", vx::drawingCode(v).c_str());
    std::fflush(stdout);
    const vx::Result<std::string> bytes =
        encode(vx::variationSheet(drawing, eight), o, drawing, "");
    const vx::Status written = bytes ? vx::writeFileAtomically(o.output, *bytes) : bytes.error();
    return written ? 0 : cannotWrite(o.output, written.error());
}

// Screen-saver mode from the drawing, or its growth, printing the code of each drawing as it
// comes on.
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
    // Ctrl-C or a kill in the middle of a write leaves no hidden temporary behind.
    vx::removeTemporariesOnSignals();
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const vx::RenderArgs parsed = vx::parseRenderArgs(args);
    if (const std::optional<int> rc = vx::answerArgs(vx::Cli::Render, parsed.status, parsed.error))
        return *rc;
    const vx::RenderOptions& o = parsed.options;
    if (const std::optional<int> rc = vx::answerPaletteOptions(o)) return *rc;
    if (o.describe) {
        const vx::Result<vx::Drawing> d = vx::decodeDrawing(*o.code);
        if (!d) {
            vx::complain(d.error().message);
            return 2;
        }
        std::fputs(vx::describeDrawing(*d).c_str(), stdout);
        std::fflush(stdout);
        if (o.output.empty()) return 0;
    }
    if (const vx::Status usable = vx::writableOutput(o.output, o.force); !usable)
        return cannotWrite(o.output, usable.error());
    if (o.frames)
        if (const vx::Status free = vx::frameFolderFree(*o.frames); !free) {
            vx::complain(free.error().message);
            return 2;
        }
    vx::Result<vx::Drawing> drawing = chosenDrawing(o);
    if (!drawing) {
        vx::complain(drawing.error().message);
        return 2;
    }
    if (o.scaleFrom && !takeScale(*drawing, *o.scaleFrom)) return 2;
    if (o.motion()) return record(o, *drawing);
    if (o.variations) return writeVariations(*drawing, o);
    const std::string code = vx::drawingCode(*drawing);
    std::printf("code %s\n", code.c_str());
    std::fflush(stdout);
    return writePicture(*drawing, o, code);
}
