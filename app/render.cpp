#include "app/render.hpp"

#include "engine/palette.hpp"
#include "engine/pattern.hpp"
#include "engine/scale.hpp"
#include "engine/shape.hpp"
#include "model/fields.hpp"
#include "platform/files.hpp"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace vx {

namespace {

bool allDigits(const std::string& s) {
    return !s.empty() && s.size() <= 20 &&
           std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::optional<uint64_t> wholeNumber(const std::string& s) {
    if (!allDigits(s)) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(s.c_str(), &end, 10);
    if (errno == ERANGE || *end != '\0') return std::nullopt;
    return static_cast<uint64_t>(v);
}

// A field value must be one number and nothing else by the rule the field reads with, so that
// typos are caught here rather than read as 0 ("0x190" would be).
bool isNumber(const std::string& s) {
    return wholeFieldNumber(s).has_value();
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() > tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

std::string renderUsage(const std::string& program) {
    return "usage: " + program +
           " [--pattern | --shape] [--seed N] [--width W --height H]\n"
           "       [--size N] [--detail N] [--complexity N] [--smoothness N] [--sides N]\n"
           "       [--regular | --fancy] [--colours basic|true|user] [--palette FILE]\n"
           "       [--scale-from PICTURE] [--dpi N] -o FILE.bmp|FILE.png\n"
           "   or: " +
           program +
           " --code CODE [--width W --height H] [--dpi N] -o FILE\n"
           "Makes one drawing and writes it to FILE: a pattern as the whole surface (default\n"
           "1920 x 1080, each side " +
           std::to_string(kRenderMinSide) + " to " + std::to_string(kRenderMaxSide) + ", at most " +
           std::to_string(kRenderMaxPixels) +
           " pixels), a single shape as its picture.\n"
           "The same seed and options give the same file; without --seed one is taken from the\n"
           "clock and printed; every drawing prints its code, and --code makes the drawing of a\n"
           "code again, at any size. --scale-from draws the colours from the distinct colours\n"
           "of a picture (any format Qt reads), as the import of a colour scale does. --dpi sets\n"
           "the resolution the file states (a PNG also keeps the drawing's code).\n";
}

RenderArgs parseRenderArgs(const std::vector<std::string>& args) {
    RenderArgs r;
    RenderOptions& o = r.options;
    auto bad = [&r](std::string msg) {
        r.status = RenderArgs::Status::Bad;
        r.error = std::move(msg);
        return r;
    };
    bool kindGiven = false, styleGiven = false, widthGiven = false, heightGiven = false;

    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        bool hasValue = false;
        const size_t eq = name.find('=');
        if (name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasValue) return true;
            if (i + 1 >= args.size()) return false;
            value = args[++i];
            hasValue = true;
            return true;
        };
        auto flag = [&]() { return !hasValue; };

        if (name == "--help" || name == "-h") {
            r.status = RenderArgs::Status::Help;
            return r;
        }
        if (name == "--pattern" || name == "--shape") {
            if (!flag()) return bad(name + " takes no value");
            if (kindGiven) return bad("give only one of --pattern and --shape");
            kindGiven = true;
            o.pattern = name == "--pattern";
        } else if (name == "--regular" || name == "--fancy") {
            if (!flag()) return bad(name + " takes no value");
            if (styleGiven) return bad("give only one of --regular and --fancy");
            styleGiven = true;
            o.fancy = name == "--fancy";
        } else if (name == "--seed") {
            if (!takeValue()) return bad("--seed needs a number");
            if (o.seed) return bad("--seed given twice");
            o.seed = wholeNumber(value);
            if (!o.seed) return bad("--seed needs a whole number from 0 to 18446744073709551615");
        } else if (name == "--width" || name == "--height") {
            if (!takeValue()) return bad(name + " needs a number");
            bool& given = name == "--width" ? widthGiven : heightGiven;
            if (given) return bad(name + " given twice");
            given = true;
            const auto v = wholeNumber(value);
            if (!v || *v < static_cast<uint64_t>(kRenderMinSide) ||
                *v > static_cast<uint64_t>(kRenderMaxSide))
                return bad(name + " must be a whole number from " + std::to_string(kRenderMinSide) +
                           " to " + std::to_string(kRenderMaxSide));
            (name == "--width" ? o.width : o.height) = static_cast<int>(*v);
        } else if (name == "--size" || name == "--detail" || name == "--complexity" ||
                   name == "--smoothness" || name == "--sides") {
            if (!takeValue()) return bad(name + " needs a number");
            std::optional<std::string>& field = name == "--size"         ? o.size
                                                : name == "--detail"     ? o.detail
                                                : name == "--complexity" ? o.complexity
                                                : name == "--smoothness" ? o.smoothness
                                                                         : o.sides;
            if (field) return bad(name + " given twice");
            if (!isNumber(value) || value.size() > 32) return bad(name + " needs a number");
            field = value;
        } else if (name == "--colours" || name == "--colors") {
            if (!takeValue()) return bad("--colours needs basic, true or user");
            if (o.colours) return bad("--colours given twice");
            const std::string v = lower(value);
            if (v == "basic")
                o.colours = RenderOptions::Colours::Basic;
            else if (v == "true")
                o.colours = RenderOptions::Colours::True;
            else if (v == "user")
                o.colours = RenderOptions::Colours::User;
            else
                return bad("--colours needs basic, true or user, not \"" + value + "\"");
        } else if (name == "--palette") {
            if (!takeValue() || value.empty()) return bad("--palette needs a file name");
            if (o.palette) return bad("--palette given twice");
            o.palette = value;
        } else if (name == "--scale-from") {
            if (!takeValue() || value.empty()) return bad("--scale-from needs a picture file");
            if (o.scaleFrom) return bad("--scale-from given twice");
            o.scaleFrom = value;
        } else if (name == "--code") {
            if (!takeValue() || value.empty()) return bad("--code needs a drawing code");
            if (o.code) return bad("--code given twice");
            o.code = value;
        } else if (name == "--dpi") {
            if (!takeValue()) return bad("--dpi needs a number");
            if (o.dpi) return bad("--dpi given twice");
            const auto v = wholeNumber(value);
            if (!v || *v < 1 || *v > 100000)
                return bad("--dpi must be a whole number from 1 to 100000");
            o.dpi = static_cast<int>(*v);
        } else if (name == "-o" || name == "--output") {
            if (!takeValue() || value.empty()) return bad(name + " needs a file name");
            if (!o.output.empty()) return bad("the output file is given twice");
            o.output = value;
        } else {
            return bad("unknown option \"" + args[i] + "\"");
        }
    }
    // A code is the whole drawing; only the size of the surface and the file are free.
    if (o.code && (kindGiven || styleGiven || o.seed || o.size || o.detail || o.complexity ||
                   o.smoothness || o.sides || o.colours || o.palette || o.scaleFrom))
        return bad("--code gives the whole drawing: leave out the options of a drawing "
                   "(kind, seed, fields, colours, palette, scale)");
    if (o.output.empty()) return bad("no output file (-o FILE.bmp or FILE.png)");
    const std::string ext = lower(o.output);
    if (endsWith(ext, ".png"))
        o.png = true;
    else if (!endsWith(ext, ".bmp"))
        return bad("the output file must end in .bmp or .png");
    if (static_cast<long long>(o.width) * o.height > kRenderMaxPixels)
        return bad("the surface may have at most " + std::to_string(kRenderMaxPixels) + " pixels");
    return r;
}

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

bool useScaleFrom(Drawing& d, const Surface& picture) {
    const ScaleScan scan = scanScale(picture);
    d.settings.colour.tcolor = 2;
    d.settings.colour.scale = scan.colours;
    return !scan.full;
}

Surface renderDrawing(const Drawing& d) {
    Random rng(d.seed);
    Surface canvas(d.width, d.height);
    Surface picture;
    if (d.kind == DrawingKind::Pattern) {
        drawPattern(d.settings, rng, canvas, picture);
        return canvas;
    }
    // The window's first single shape draws the moving picture's drift before the shape.
    rng.next();
    rng.next();
    drawShape(d.settings, rng, canvas, picture);
    return picture;
}

} // namespace vx
