// Feeds arbitrary command lines to vortalis-render's option reader and checks that what it
// accepts is a drawing the renderer can make, what it refuses says why, and that a code it
// accepts decodes to a drawing whose own code gives it back. Nothing is drawn and no file is
// read.
#include "app/render.hpp"
#include "model/code.hpp"
#include "model/fields.hpp"
#include "surface/numeric.hpp"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace vx;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

// Arguments are separated by NUL or line-feed bytes; a command line has at most 64 of them.
std::vector<std::string> splitArgs(std::string_view in) {
    std::vector<std::string> args;
    size_t start = 0;
    for (size_t i = 0; i <= in.size() && args.size() < 64; ++i) {
        if (i < in.size() && in[i] != '\0' && in[i] != '\n') continue;
        if (i < in.size() || start < in.size()) args.emplace_back(in.substr(start, i - start));
        start = i + 1;
    }
    return args;
}

// A word that may name the option: with one dash or two, or -h leading a cluster of short ones.
bool mayGive(const std::vector<std::string>& args, const std::string& name) {
    for (const std::string& a : args)
        if (a.rfind("-" + name, 0) == 0 || a.rfind("--" + name, 0) == 0) return true;
    return false;
}

bool endsWithNoCase(const std::string& s, std::string_view tail) {
    if (s.size() <= tail.size()) return false;
    for (size_t i = 0; i < tail.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - tail.size() + i])) != tail[i])
            return false;
    return true;
}

// A field text that was accepted is, whole, a number the field rule reads: no other base, no
// trailing word the rule would stop at.
void checkFieldText(const std::optional<std::string>& text) {
    if (!text) return;
    check(!text->empty() && text->size() <= 32);
    const std::optional<double> v = wholeFieldNumber(*text);
    check(v && *v == fieldNumber(*text));
    check(text->find_first_of("xXpP") == std::string::npos);
}

bool sameDrawing(const Drawing& a, const Drawing& b) {
    const DrawSettings &s = a.settings, &t = b.settings;
    return a.kind == b.kind && a.seed == b.seed && s.size == t.size && s.detail == t.detail &&
           s.complexity == t.complexity && s.smoothness == t.smoothness &&
           sidesAsDrawn(s.sides) == t.sides && s.fancy == t.fancy &&
           s.colour.tcolor == t.colour.tcolor && s.colour.tcolor2 == t.colour.tcolor2 &&
           (s.colour.tcolor2 != 1 || s.colour.list == t.colour.list);
}

// The code of a drawing decodes to the same drawing.
void checkCodeOf(const Drawing& d) {
    const Result<Drawing> again = decodeDrawing(drawingCode(d));
    check(again.ok() && sameDrawing(d, *again));
}

void checkAccepted(const RenderOptions& o) {
    check(o.width >= kRenderMinSide && o.width <= kRenderMaxSide);
    check(o.height >= kRenderMinSide && o.height <= kRenderMaxSide);
    check(static_cast<long long>(o.width) * o.height <= kRenderMaxPixels);
    check(!o.dpi || (*o.dpi >= 1 && *o.dpi <= 100000));
    const char* endings[] = {".bmp", ".png", ".svg", ".pdf", ".mp4", ".webm", ".webp", ".gif"};
    const bool drawn = !o.output.empty() || o.frames;
    // Only the palette list, a palette file or a description may be asked without a file.
    check(drawn || o.listPalettes || o.writePalette || o.describe);
    if (!o.output.empty()) check(endsWithNoCase(o.output, endings[static_cast<int>(o.format)]));
    check(o.scale >= 1 && o.scale <= kRenderMaxScale);
    // A whole pattern is enlarged at its surface's size; a shape's picture and a tile are
    // checked once drawn, by their own size.
    if (o.pattern && !o.tile) {
        check(static_cast<long long>(o.width) * o.scale <= kRenderMaxSide &&
              static_cast<long long>(o.height) * o.scale <= kRenderMaxSide);
        check(static_cast<long long>(o.width) * o.height * o.scale * o.scale <= kRenderMaxPixels);
    }
    check(!o.tile || o.pattern);
    for (const auto* text : {&o.size, &o.detail, &o.complexity, &o.smoothness, &o.sides})
        checkFieldText(*text);
    for (const auto* name : {&o.palette, &o.scaleFrom, &o.code}) check(!*name || !(*name)->empty());

    if (o.code) {
        // A code stands for the whole drawing.
        check(o.pattern && !o.fancy && !o.seed && !o.size && !o.detail && !o.complexity &&
              !o.smoothness && !o.sides && !o.colours && !o.palette && !o.scaleFrom);
        const Result<Drawing> d = decodeDrawing(*o.code);
        if (d)
            checkCodeOf(*d);
        else
            check(!d.error().message.empty());
        return;
    }
    if (o.palette) return; // the drawing would read the palette file

    const Result<Drawing> d = renderedDrawing(o, o.seed.value_or(1));
    check(d.ok());
    const DrawSettings& s = d->settings;
    check(d->width == o.width && d->height == o.height);
    for (const FieldSpec* f : kDrawingFields)
        check(!f->clamped() || (s.*f->setting >= f->lo && s.*f->setting <= f->hi));
    checkCodeOf(*d);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> args =
        splitArgs(std::string_view(reinterpret_cast<const char*>(data), size));
    const RenderArgs r = parseRenderArgs(args);
    switch (r.status) {
    case RenderArgs::Status::Help:
        check(r.error.empty() && mayGive(args, "h"));
        break;
    case RenderArgs::Status::Version:
        check(r.error.empty() && mayGive(args, "version"));
        break;
    case RenderArgs::Status::Bad:
        check(!r.error.empty());
        break;
    case RenderArgs::Status::Ok:
        check(r.error.empty());
        checkAccepted(r.options);
        break;
    default: // the screen saver's answers
        check(false);
    }
    return 0;
}
