#include "app/render.hpp"

#include "engine/palette.hpp"
#include "engine/pattern.hpp"
#include "engine/scale.hpp"
#include "engine/settingsfile.hpp"
#include "engine/shape.hpp"
#include "export/bundled.hpp"
#include "model/code.hpp"
#include "model/fields.hpp"
#include "platform/files.hpp"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace vx {

Result<Drawing> renderedDrawing(const RenderOptions& o, uint64_t seed, std::string* warning) {
    Drawing d;
    d.kind = o.pattern ? DrawingKind::Pattern : DrawingKind::Shape;
    d.seed = seed;
    d.width = o.width;
    d.height = o.height;

    // The fields as the window shows them after "Begin", with the options typed into them.
    DrawSettings& s = d.settings;
    auto take = [](const FieldSpec& f, const std::optional<std::string>& text, const char* shown) {
        return fieldValue(f, text ? *text : shown);
    };
    s.size = take(kSizeField, o.size, "200");
    s.detail = take(kDetailField, o.detail, "16");
    s.complexity = take(kComplexityField, o.complexity, "1");
    s.smoothness = take(kSmoothnessField, o.smoothness, "2");
    s.shapeComplexity = take(kShapeComplexityField, std::nullopt, "0");
    s.sides = take(kSidesField, o.sides, "4");
    s.fancy = o.fancy.value_or(true);

    State st;
    st.tcolor = kTrueColours;
    st.tcolor2 = kListOn;
    st.numcolors = 1;
    if (o.colours) {
        st.tcolor = *o.colours == RenderOptions::Colours::Basic ? 0 : 1;
        st.tcolor2 = *o.colours == RenderOptions::Colours::User ? 1 : 0;
    }
    if (o.palette) {
        const Result<PaletteList> p = namedPalette(*o.palette, warning);
        if (!p) return p.error();
        applyPalette(st, *p);
    }
    s.colour = colourSettings(st);
    return d;
}

Result<PaletteList> namedPalette(const std::string& given, std::string* warning) {
    if (!nameTaken(given)) {
        if (const BundledPalette* b = findBundled(given)) return b->list;
        return fail("no palette file or bundled palette is named \"" + given +
                    "\" (--list-palettes lists the bundled ones)");
    }
    const Result<ReadPalette> p = readPaletteFile(given);
    if (!p) return fail("cannot read palette file \"" + given + "\": " + p.error().message);
    if (warning && p->list.damaged > 0) *warning = paletteDamage(given, p->list.damaged);
    if (warning && p->leftOut > 0)
        *warning = given + " holds " + std::to_string(p->colours) +
                   " colours: the list takes the first 64, " + std::to_string(p->leftOut) +
                   " were left out";
    return p->list;
}

namespace {

// The colours of the settings file's list, up to its first empty slot.
Result<std::vector<int32_t>> settingsList() {
    if (!nameTaken(kSettingsFile))
        return fail("--write-palette has no colour list to write: give --palette or --code, or "
                    "run it in a folder that holds " +
                    std::string(kSettingsFile));
    const Result<std::string> text = readFileStart(kSettingsFile, kSettingsReadLimit);
    if (!text)
        return fail("cannot read " + std::string(kSettingsFile) + ": " + text.error().message);
    std::vector<int32_t> list;
    for (const std::optional<double>& c : parseSettings(*text).colours) {
        if (!c || *c == 0 || !validListValue(*c)) break;
        list.push_back(static_cast<int32_t>(*c));
    }
    return list;
}

// The list --write-palette writes: of the code, of --palette, else of the settings file.
Result<std::vector<int32_t>> listToWrite(const RenderOptions& o) {
    if (o.code) {
        const Result<Drawing> d = decodeDrawing(*o.code);
        if (!d) return d.error();
        return d->settings.colour.list;
    }
    if (!o.palette) return settingsList();
    std::string warning;
    const Result<PaletteList> p = namedPalette(*o.palette, &warning);
    if (!p) return p.error();
    if (!warning.empty()) std::fprintf(stderr, "vortalis-render: %s\n", warning.c_str());
    std::vector<int32_t> list;
    for (int32_t v : p->slots) {
        if (v == 0) break;
        list.push_back(v);
    }
    return list;
}

int writePaletteOption(const RenderOptions& o) {
    const std::string& file = *o.writePalette;
    Result<std::vector<int32_t>> list = listToWrite(o);
    if (list && list->empty())
        list = fail("the colour list is empty: nothing was written to \"" + file + "\"");
    if (!list) {
        std::fprintf(stderr, "vortalis-render: %s\n", list.error().message.c_str());
        return 2;
    }
    const EncodedPalette e = encodePalette(*list, writtenFormat(file).value_or(PaletteFormat::Own),
                                           std::filesystem::path(file).stem().string());
    Status written = regularOrAbsent(file);
    if (written) written = writeFileAtomically(file, e.bytes);
    if (!written) {
        std::fprintf(stderr, "vortalis-render: cannot write \"%s\": %s\n", file.c_str(),
                     written.error().message.c_str());
        return 1;
    }
    if (e.shadesAsColours == 1)
        std::fprintf(stderr,
                     "vortalis-render: 1 random shade was written to \"%s\" as the full shade of "
                     "its hue\n",
                     file.c_str());
    if (e.shadesAsColours > 1)
        std::fprintf(stderr,
                     "vortalis-render: %d random shades were written to \"%s\" as the full "
                     "shade of their hue\n",
                     e.shadesAsColours, file.c_str());
    return 0;
}

} // namespace

std::optional<int> answerPaletteOptions(const RenderOptions& o) {
    if (o.listPalettes) {
        const std::vector<BundledPalette>& all = bundledPalettes();
        if (all.empty()) {
            std::fprintf(stderr, "vortalis-render: no bundled palettes were found (they belong in "
                                 "share/vortalis/palettes beside the program's bin folder)\n");
            return 1;
        }
        for (const BundledPalette& b : all) std::printf("%s\n", b.id.c_str());
        return 0;
    }
    if (!o.writePalette) return std::nullopt;
    if (const int rc = writePaletteOption(o); rc != 0 || o.output.empty()) return rc;
    return std::nullopt;
}

MotionSettings renderMotionSettings(const RenderOptions& o) {
    using F = RenderOptions::Format;
    MotionSettings video;
    video.width = o.width;
    video.height = o.height;
    video.fps = o.fps.value_or(kRenderDefaultFps);
    video.format = o.format == F::Mp4    ? MotionFormat::Mp4
                   : o.format == F::WebM ? MotionFormat::WebM
                   : o.format == F::Gif  ? MotionFormat::Gif
                                         : MotionFormat::WebP;
    return video;
}

bool useScaleFrom(Drawing& d, const Surface& picture) {
    const ScaleScan scan = scanScale(picture);
    d.settings.colour.tcolor = kImportedColours;
    d.settings.colour.scale = scan.colours;
    return !scan.full;
}

Surface renderDrawing(const Drawing& d, int* runSize, Recorder* rec) {
    Random rng(d.seed);
    Surface canvas(d.width, d.height);
    Surface picture;
    if (d.kind == DrawingKind::Pattern) {
        const PatternRun run = drawPattern(d.settings, rng, canvas, picture, {}, rec);
        if (runSize) *runSize = run.runSize;
        return canvas;
    }
    // The window's first single shape draws the moving picture's drift before the shape.
    rng.next();
    rng.next();
    const ShapeRun run = drawShape(d.settings, rng, canvas, picture, rec);
    if (runSize) *runSize = run.runSize;
    return picture;
}

} // namespace vx
