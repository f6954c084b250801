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

// The renderer's bitmaps have always stated 100 dots per inch.
constexpr int kRenderDotsPerMetre = 3937;

// The file the options ask for: BMP, PNG (naming the program and keeping the code), SVG or
// PDF.
vx::Result<std::string> encode(const vx::Surface& picture, const vx::RenderOptions& o,
                               const std::string& code) {
    vx::PictureFile f;
    f.format = o.format;
    f.scale = o.scale;
    f.code = code;
    if (o.dpi) {
        f.dotsPerMetre = static_cast<int>(std::lround(*o.dpi / 0.0254));
        f.dpi = *o.dpi;
    } else if (o.format == vx::RenderOptions::Format::Bmp) {
        f.dotsPerMetre = kRenderDotsPerMetre;
    }
    return vx::encodePicture(picture, f);
}

// Screen-saver mode from the drawing, printing the code of each drawing as it comes on.
int record(const std::string& program, const vx::RenderOptions& o, const vx::Drawing& first) {
    const vx::Result<std::string> written =
        vx::recordRendered(o, first, [](const vx::Drawing& shown) {
            std::printf("code %s\n", vx::drawingCode(shown).c_str());
            std::fflush(stdout);
        });
    if (written) return 0;
    std::fprintf(stderr, "%s: cannot write \"%s\": %s\n", program.c_str(),
                 (o.frames ? *o.frames : o.output).c_str(), written.error().message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string program = "vortalis-render";
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const vx::RenderArgs parsed = vx::parseRenderArgs(args);
    if (const std::optional<int> rc = vx::answerArgs(vx::Cli::Render, parsed.status, parsed.error))
        return *rc;
    const vx::RenderOptions& o = parsed.options;
    // Never through a link, never over a device or anything else that is not a file.
    if (const vx::Status usable = vx::regularOrAbsent(o.output); !usable) {
        std::fprintf(stderr, "%s: cannot write \"%s\": %s\n", program.c_str(), o.output.c_str(),
                     usable.error().message.c_str());
        return 1;
    }

    uint64_t seed = 0;
    if (o.seed) {
        seed = *o.seed;
    } else if (!o.code) {
        seed = static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch() /
                                     std::chrono::microseconds(1));
        std::printf("seed %llu\n", static_cast<unsigned long long>(seed));
        std::fflush(stdout);
    }

    std::string warning;
    vx::Result<vx::Drawing> drawing =
        o.code ? vx::decodeDrawing(*o.code) : vx::renderedDrawing(o, seed, &warning);
    if (!warning.empty()) std::fprintf(stderr, "%s: %s\n", program.c_str(), warning.c_str());
    if (drawing && o.code) {
        drawing->width = o.width;
        drawing->height = o.height;
    }
    if (!drawing) {
        std::fprintf(stderr, "%s: %s\n", program.c_str(), drawing.error().message.c_str());
        return 2;
    }
    if (o.scaleFrom) {
        const vx::Result<vx::Surface> picture = vx::readPictureFile(*o.scaleFrom);
        if (!picture) {
            std::fprintf(stderr, "%s: cannot read the picture \"%s\": %s\n", program.c_str(),
                         o.scaleFrom->c_str(), picture.error().message.c_str());
            return 2;
        }
        if (!vx::useScaleFrom(*drawing, *picture))
            std::fprintf(stderr,
                         "%s: the picture holds more than %d colours; the scale keeps the "
                         "first of them\n",
                         program.c_str(), vx::kMaxScaleColours);
    }
    if (o.motion()) return record(program, o, *drawing);
    const std::string code = vx::drawingCode(*drawing);
    std::printf("code %s\n", code.c_str());
    std::fflush(stdout);
    // The whole drawing, or one tile of it.
    const vx::Result<vx::Surface> picture =
        o.tile ? vx::patternTile(*drawing) : vx::Result<vx::Surface>(vx::renderDrawing(*drawing));
    if (!picture) {
        std::fprintf(stderr, "%s: %s\n", program.c_str(), picture.error().message.c_str());
        return 2;
    }
    const vx::Result<std::string> bytes = encode(*picture, o, code);
    vx::Status written = bytes ? vx::writeFileAtomically(o.output, *bytes) : bytes.error();
    if (!written) {
        std::fprintf(stderr, "%s: cannot write \"%s\": %s\n", program.c_str(), o.output.c_str(),
                     written.error().message.c_str());
        return 1;
    }
    return 0;
}
