#include "model/describe.hpp"

#include "model/code.hpp"
#include "surface/numeric.hpp"

#include <cstdio>

namespace vx {

namespace {

// The hues of the random-shade codes -1 to -7.
constexpr const char* kShadeHues[] = {"blue", "red", "green", "purple", "yellow", "brown", "grey"};

std::string colourText(int32_t v) {
    if (v < 0 && v >= -7) return std::string("random-") + kShadeHues[-v - 1];
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", static_cast<unsigned>(v) & 0xFFu,
                  (static_cast<unsigned>(v) >> 8) & 0xFFu,
                  (static_cast<unsigned>(v) >> 16) & 0xFFu);
    return buf;
}

std::string colourLine(const char* name, const std::vector<int32_t>& colours) {
    std::string s = name;
    for (int32_t v : colours) s += " " + colourText(v);
    return s + "\n";
}

const char* colourMode(const ColourSettings& c) {
    if (c.tcolor == kBasicColours) return "basic";
    if (c.tcolor == kImportedColours) return "scale";
    return c.tcolor2 == kListOn ? "user" : "true";
}

} // namespace

std::string describeDrawing(const Drawing& d) {
    const DrawSettings& s = d.settings;
    std::string out;
    out += std::string("kind ") + (d.kind == DrawingKind::Pattern ? "pattern" : "shape") + "\n";
    out += "seed " + std::to_string(d.seed) + "\n";
    out += "size " + numberText(s.size) + "\n";
    out += "detail " + numberText(s.detail) + "\n";
    out += "complexity " + numberText(s.complexity) + "\n";
    out += "smoothness " + numberText(s.smoothness) + "\n";
    out += "sides " + numberText(sidesAsDrawn(s.sides)) + "\n";
    out += std::string("style ") + (s.fancy ? "fancy" : "regular") + "\n";
    out += std::string("colours ") + colourMode(s.colour) + "\n";
    if (s.colour.tcolor2 == kListOn) out += colourLine("list", s.colour.list);
    if (s.colour.tcolor == kImportedColours) out += colourLine("scale", s.colour.scale);
    return out;
}

} // namespace vx
