#include "core/render.hpp"

#include "colour/colourdata.hpp"
#include "pattern/makeshape2.hpp"
#include "shape/makeshape.hpp"

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

// A field value must be one finite number and nothing else, so that typos are caught here
// rather than read as 0 by the field rule.
bool isNumber(const std::string& s) {
    if (s.empty() || std::isspace(static_cast<unsigned char>(s.front()))) return false;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    return end && *end == '\0' && std::isfinite(v) && errno != ERANGE;
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
           "       -o FILE.bmp|FILE.png\n"
           "Makes one drawing and writes it to FILE: a pattern as the whole surface (default\n"
           "1920 x 1080, each side " +
           std::to_string(kRenderMinSide) + " to " + std::to_string(kRenderMaxSide) + ", at most " +
           std::to_string(kRenderMaxPixels) +
           " pixels), a single shape as its picture.\n"
           "The same seed and options give the same file; without --seed one is taken from the\n"
           "clock and printed.\n";
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
        } else if (name == "-o" || name == "--output") {
            if (!takeValue() || value.empty()) return bad(name + " needs a file name");
            if (!o.output.empty()) return bad("the output file is given twice");
            o.output = value;
        } else {
            return bad("unknown option \"" + args[i] + "\"");
        }
    }
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

void applyPaletteText(State& st, const std::string& text) {
    std::vector<double> numbers;
    std::string token;
    auto flush = [&]() {
        if (!token.empty() && numbers.size() < 65) numbers.push_back(fieldNumber(token));
        token.clear();
    };
    for (char c : text) {
        if (c == ' ' || c == ',' || c == '\n' || c == '\r' || c == '\t')
            flush();
        else
            token += c;
    }
    flush();

    for (int slot = 1; slot <= 64; ++slot) {
        const size_t i = static_cast<size_t>(slot - 1);
        const double v = i < numbers.size() ? numbers[i] : 0;
        const bool colour = v >= 0 && v <= 16777215 && v == std::floor(v);
        const bool shade = v >= -7 && v <= -1 && v == std::floor(v);
        st.colorlist[slot] = colour || shade ? static_cast<int32_t>(v) : 0;
    }
    if (numbers.size() >= 65) st.numcolors = clampTo(std::round(numbers[64]), 1, 64);
}

bool prepareRender(Shapes& sh, const RenderOptions& o, uint64_t seed, std::string& error) {
    State& st = sh.st;
    ui::Form& form = sh.form;
    sh.surface = Surface(o.width, o.height);

    // Start-up's values, without a settings file.
    st.swidth999 = 0;
    st.palettename.clear();
    st.numsquare = 1;
    st.numcolors = 1;
    fillShadeTables(st);
    st.sharpf = 2;
    st.tcolor = 1;
    st.tcolor2 = 1;
    st.detailf = 16;
    st.complexy = 2;
    st.ntimes = 10;
    st.nwait4 = 0;
    st.circle2 = 0;
    st.centerf = 0;
    st.ssg = 4;
    st.colorfz = -1;
    st.mpattern = o.pattern ? 1 : 0;
    st.mpattern2 = st.mpattern;
    st.swidth = 200;
    form.setText("Text2", "200");
    sh.rng.seed(seed);

    if (o.size) form.setText("Text2", *o.size);
    if (o.detail) form.setText("Text3", *o.detail);
    if (o.complexity) form.setText("Text9", *o.complexity);
    if (o.smoothness) form.setText("Text10", *o.smoothness);
    if (o.sides) form.setText("Text4", *o.sides);
    if (o.fancy) form.selectOption(*o.fancy ? "Option2" : "Option1", {"Option1", "Option2"});
    if (o.colours) {
        st.tcolor = *o.colours == RenderOptions::Colours::Basic ? 0 : 1;
        st.tcolor2 = *o.colours == RenderOptions::Colours::User ? 1 : 0;
    }
    form.setChecked("bcolor7", st.tcolor == 0);
    form.setChecked("tcolor7", st.tcolor == 1 && st.tcolor2 == 0);
    form.setChecked("ucolors", st.tcolor == 1 && st.tcolor2 == 1);
    form.setChecked("csingle", st.mpattern == 0);
    form.setChecked("cpattern", st.mpattern == 1);

    if (o.palette) {
        std::error_code ec;
        const bool regular = std::filesystem::is_regular_file(*o.palette, ec);
        std::ifstream in;
        if (regular) in.open(*o.palette, std::ios::binary);
        // A palette is 65 short lines; anything far larger is not one.
        constexpr std::streamsize kMaxPalette = 1 << 20;
        if (in.is_open()) {
            std::string buf(static_cast<size_t>(kMaxPalette) + 1, '\0');
            in.read(buf.data(), kMaxPalette + 1);
            const std::streamsize n = in.gcount();
            if (n > kMaxPalette) {
                error = "palette file \"" + *o.palette + "\" is too large";
                return false;
            }
            if (!in.bad()) {
                buf.resize(static_cast<size_t>(n));
                applyPaletteText(st, buf);
                st.palettename = *o.palette;
                return true;
            }
        }
        error = "cannot read palette file \"" + *o.palette + "\"";
        return false;
    }
    return true;
}

const Surface& renderDrawing(Shapes& sh, const RenderOptions& o) {
    if (o.pattern) {
        makeshape2(sh);
        return sh.surface;
    }
    makeshape(sh);
    return sh.picture1;
}

} // namespace vx
