#include "app/render.hpp"

#include "engine/palette.hpp"
#include "engine/pattern.hpp"
#include "engine/scale.hpp"
#include "engine/shape.hpp"
#include "model/fields.hpp"
#include "platform/files.hpp"

#include <cmath>
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
    st.tcolor = 1;
    st.tcolor2 = 1;
    st.numcolors = 1;
    if (o.colours) {
        st.tcolor = *o.colours == RenderOptions::Colours::Basic ? 0 : 1;
        st.tcolor2 = *o.colours == RenderOptions::Colours::User ? 1 : 0;
    }
    if (o.palette) {
        const Result<std::string> text = readFileStart(*o.palette, kPaletteReadLimit + 1);
        if (!text)
            return fail("cannot read palette file \"" + *o.palette + "\": " + text.error().message);
        if (text->size() > kPaletteReadLimit)
            return fail("palette file \"" + *o.palette + "\" is too large");
        const PaletteList p = parsePalette(*text);
        if (p.damaged > 0 && warning) *warning = paletteDamage(*o.palette, p.damaged);
        applyPalette(st, p);
    }
    s.colour = colourSettings(st);
    return d;
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
    d.settings.colour.tcolor = 2;
    d.settings.colour.scale = scan.colours;
    return !scan.full;
}

Surface renderDrawing(const Drawing& d, int* runSize) {
    Random rng(d.seed);
    Surface canvas(d.width, d.height);
    Surface picture;
    if (d.kind == DrawingKind::Pattern) {
        const PatternRun run = drawPattern(d.settings, rng, canvas, picture);
        if (runSize) *runSize = run.runSize;
        return canvas;
    }
    // The window's first single shape draws the moving picture's drift before the shape.
    rng.next();
    rng.next();
    const ShapeRun run = drawShape(d.settings, rng, canvas, picture);
    if (runSize) *runSize = run.runSize;
    return picture;
}

} // namespace vx
