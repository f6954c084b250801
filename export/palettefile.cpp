#include "export/palettefile.hpp"

#include "engine/settingsfile.hpp"
#include "engine/shades.hpp"
#include "export/lab.hpp"
#include "platform/files.hpp"
#include "surface/surface.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

namespace vx {

namespace {

using F = PaletteFormat;

// What a reader found: the first 64 colours as the list stores them, and how many there were.
struct Found {
    std::vector<int32_t> kept;
    int total = 0;
    std::string name;
    void add(int r, int g, int b) {
        if (kept.size() < 64) kept.push_back(listColour(r, g, b));
        ++total;
    }
};

std::string_view trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

std::string_view withoutBom(std::string_view s) {
    return s.substr(0, 3) == "\xEF\xBB\xBF" ? s.substr(3) : s;
}

std::string lineError(size_t n, const std::string& what) {
    return "line " + std::to_string(n) + " " + what;
}

// Calls f(number, line) for each line (CR LF or LF); stops at the first error f gives.
std::optional<std::string>
eachLine(std::string_view text,
         const std::function<std::optional<std::string>(size_t, std::string_view)>& f) {
    size_t pos = 0, n = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        if (auto e = f(++n, trim(text.substr(pos, end - pos)))) return e;
        pos = end + 1;
    }
    return std::nullopt;
}

std::string_view firstLine(std::string_view text) {
    return trim(text.substr(0, text.find('\n')));
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// n hex digits, or -1.
long hexNumber(std::string_view s, size_t n) {
    if (s.size() != n) return -1;
    long v = 0;
    for (char c : s) {
        const int d = hexDigit(c);
        if (d < 0) return -1;
        v = v * 16 + d;
    }
    return v;
}

// A whole number 0..255 in decimal digits.
bool isByte(std::string_view s) {
    return !s.empty() && s.size() <= 3 && std::all_of(s.begin(), s.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    }) && std::stoi(std::string(s)) <= 255;
}

// Three whole numbers 0..255 at the start of a line (what follows is a name); false otherwise.
bool threeBytes(std::string_view line, int (&rgb)[3], std::string_view* rest = nullptr) {
    for (int& v : rgb) {
        line = trim(line);
        size_t k = 0;
        while (k < line.size() && !std::isspace(static_cast<unsigned char>(line[k]))) ++k;
        if (!isByte(line.substr(0, k))) return false;
        v = std::stoi(std::string(line.substr(0, k)));
        line.remove_prefix(k);
    }
    if (rest) *rest = trim(line);
    return true;
}

// A name as a menu or a status line can show it: printable, one line, not too long.
std::string shownName(std::string_view s) {
    std::string out;
    for (unsigned char c : trim(s))
        if (c >= 0x20 && c != 0x7F && out.size() < 80) out += static_cast<char>(c);
    return out;
}

Result<Found> readGpl(std::string_view text) {
    Found found;
    const auto e = eachLine(withoutBom(text), [&](size_t n, std::string_view line) {
        if (n == 1)
            return line == "GIMP Palette"
                       ? std::nullopt
                       : std::optional<std::string>("the first line is not \"GIMP Palette\"");
        if (line.empty() || line[0] == '#') return std::optional<std::string>();
        if (line.substr(0, 5) == "Name:") {
            found.name = shownName(line.substr(5));
            return std::optional<std::string>();
        }
        if (line.substr(0, 8) == "Columns:") return std::optional<std::string>();
        int rgb[3];
        if (!threeBytes(line, rgb))
            return std::optional<std::string>(
                lineError(n, "is not a colour (three numbers from 0 to 255, then a name)"));
        found.add(rgb[0], rgb[1], rgb[2]);
        return std::optional<std::string>();
    });
    if (e) return fail(*e);
    return found;
}

// One colour a line in n hex digits after an optional "#" (hex lists) or AARRGGBB with ";"
// comments (Paint.NET).
Result<Found> readHexLines(std::string_view text, bool paintNet) {
    Found found;
    const auto e = eachLine(withoutBom(text), [&](size_t n, std::string_view line) {
        if (line.empty() || (paintNet && line[0] == ';')) return std::optional<std::string>();
        if (!paintNet && line[0] == '#') line.remove_prefix(1);
        const long v = hexNumber(line, paintNet ? 8 : 6);
        if (v < 0)
            return std::optional<std::string>(lineError(
                n, paintNet ? "is not a colour (eight hex digits, AARRGGBB)"
                            : "is not a colour (six hex digits, RRGGBB, \"#\" optional)"));
        found.add(static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>(v & 0xFF));
        return std::optional<std::string>();
    });
    if (e) return fail(*e);
    return found;
}

Result<Found> readJasc(std::string_view text) {
    Found found;
    long named = -1;
    const auto e = eachLine(withoutBom(text), [&](size_t n, std::string_view line) {
        using E = std::optional<std::string>;
        if (n == 1) return line == "JASC-PAL" ? E() : E("the first line is not \"JASC-PAL\"");
        if (n == 2) return line == "0100" ? E() : E("line 2 is not the version \"0100\"");
        if (n == 3) {
            const bool digits = !line.empty() && line.size() <= 6 &&
                                std::all_of(line.begin(), line.end(), [](char c) {
                                    return std::isdigit(static_cast<unsigned char>(c));
                                });
            if (!digits) return E("line 3 is not the number of colours");
            named = std::stol(std::string(line));
            return E();
        }
        if (line.empty()) return E();
        int rgb[3];
        std::string_view rest;
        // Some writers add a fourth number (alpha), which is left aside.
        if (!threeBytes(line, rgb, &rest) || (!rest.empty() && !isByte(rest)))
            return E(lineError(n, "is not a colour (three numbers from 0 to 255)"));
        if (found.total >= named)
            return E(lineError(n, "is one colour more than the " + std::to_string(named) +
                                      " the file names"));
        found.add(rgb[0], rgb[1], rgb[2]);
        return E();
    });
    if (e) return fail(*e);
    if (named < 0) return fail("it ends before the number of colours");
    if (found.total < named)
        return fail("it is cut short: it names " + std::to_string(named) + " colours and holds " +
                    std::to_string(found.total));
    return found;
}

// Big-endian fields of an Adobe Swatch Exchange file, read within a bound.
struct Bytes {
    std::string_view d;
    size_t at = 0;
    bool has(size_t n) const { return at <= d.size() && n <= d.size() - at; }
    uint32_t take(size_t n) {
        uint32_t v = 0;
        for (size_t i = 0; i < n; ++i) v = v << 8 | static_cast<unsigned char>(d[at++]);
        return v;
    }
    bool u16(uint32_t& v) { return has(2) && (v = take(2), true); }
    bool u32(uint32_t& v) { return has(4) && (v = take(4), true); }
    bool f32(double& v) {
        if (!has(4)) return false;
        const uint32_t bits = take(4);
        float x;
        std::memcpy(&x, &bits, sizeof x);
        v = x;
        return true;
    }
};

// A UTF-16 name of a block, in UTF-8 (characters past the first plane shown as "?").
bool aseName(Bytes& b, std::string& name) {
    uint32_t units = 0;
    if (!b.u16(units) || !b.has(size_t{2} * units)) return false;
    for (uint32_t i = 0; i < units; ++i) {
        const uint32_t u = b.take(2);
        if (u == 0) continue;
        if (u < 0x80) {
            name += static_cast<char>(u);
        } else if (u < 0x800) {
            name += static_cast<char>(0xC0 | u >> 6);
            name += static_cast<char>(0x80 | (u & 0x3F));
        } else if (u < 0xD800 || u > 0xDFFF) {
            name += static_cast<char>(0xE0 | u >> 12);
            name += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            name += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            name += '?';
        }
    }
    return true;
}

int unit(double v) {
    return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
}

// The values of one colour model, in sRGB; an error when they are not numbers of its range.
Result<int32_t> aseColour(Bytes& b, const std::string& model) {
    const int count = model == "RGB "   ? 3
                      : model == "CMYK" ? 4
                      : model == "LAB " ? 3
                      : model == "Gray" ? 1
                                        : 0;
    if (count == 0)
        return fail("a colour has the model \"" + shownName(model) +
                    "\", which is none of RGB, CMYK, LAB and Gray");
    double v[4] = {};
    for (int i = 0; i < count; ++i)
        if (!b.f32(v[i])) return fail("a colour entry is cut short");
    const double lo = model == "LAB " ? -1e9 : -0.01, hi = model == "LAB " ? 1e9 : 1.01;
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(v[i]) || v[i] < lo || v[i] > hi)
            return fail("a colour holds a value out of its range");
    if (model == "RGB ") return unit(v[0]) | unit(v[1]) << 8 | unit(v[2]) << 16;
    if (model == "Gray") return unit(v[0]) * 0x010101;
    if (model == "CMYK") {
        auto ch = [&](double c) { return unit((1 - std::clamp(c, 0.0, 1.0)) * (1 - v[3])); };
        return ch(v[0]) | ch(v[1]) << 8 | ch(v[2]) << 16;
    }
    // L is stored from 0 to 1 for 0 to 100 %.
    if (v[0] < -0.01 || v[0] > 1.01 || std::abs(v[1]) > 128 || std::abs(v[2]) > 128)
        return fail("a LAB colour holds a value out of its range");
    return rgbOfD50(Lab{std::clamp(v[0], 0.0, 1.0) * 100, v[1], v[2]});
}

Result<int32_t> aseEntry(std::string_view block) {
    Bytes b{block};
    std::string name;
    if (!aseName(b, name) || !b.has(4)) return fail("a colour entry is cut short");
    const std::string model(block.substr(b.at, 4));
    b.at += 4;
    Result<int32_t> c = aseColour(b, model);
    uint32_t type = 0;
    if (c && !b.u16(type)) return fail("a colour entry is cut short");
    return c;
}

Result<Found> readAse(std::string_view d) {
    Bytes b{d};
    uint32_t major = 0, minor = 0, blocks = 0;
    if (d.substr(0, 4) != "ASEF") return fail("it does not start with \"ASEF\"");
    b.at = 4;
    if (!b.u16(major) || !b.u16(minor) || !b.u32(blocks)) return fail("it is cut short");
    if (major != 1)
        return fail("it is of version " + std::to_string(major) + "." + std::to_string(minor) +
                    ", not 1");
    // Every block takes at least its type and length.
    if (blocks > (d.size() - b.at) / 6)
        return fail("it names " + std::to_string(blocks) + " blocks, more than it can hold");
    Found found;
    for (uint32_t i = 0; i < blocks; ++i) {
        uint32_t type = 0, length = 0;
        if (!b.u16(type) || !b.u32(length) || !b.has(length))
            return fail("it is cut short in block " + std::to_string(i + 1) + " of " +
                        std::to_string(blocks));
        const std::string_view block = d.substr(b.at, length);
        b.at += length;
        if (type == 0xC001 && found.name.empty()) {
            // Groups are flattened; the first one names the palette.
            Bytes g{block};
            std::string name;
            if (aseName(g, name)) found.name = shownName(name);
        }
        if (type != 0x0001) continue;
        const Result<int32_t> c = aseEntry(block);
        if (!c) return fail(c.error().message + " (block " + std::to_string(i + 1) + ")");
        found.add(*c & 0xFF, (*c >> 8) & 0xFF, (*c >> 16) & 0xFF);
    }
    return found;
}

} // namespace

int32_t listColour(int r, int g, int b) {
    const int32_t v = r + 256 * g + 65536 * b;
    if (v == 0 || v == kBorder) return kListBlack;
    if (v == kWhite) return kListWhite;
    return v;
}

int32_t fileColour(int32_t value) {
    if (const ShadeTable* t = shadeTable(value)) return (*t)[12];
    if (value == kListBlack) return 0;
    if (value == kListWhite) return kWhite;
    return value;
}

const char* formatName(PaletteFormat f) {
    switch (f) {
    case F::Own:
        return "Vortalis palette";
    case F::Gpl:
        return "GIMP palette";
    case F::Ase:
        return "Adobe Swatch Exchange file";
    case F::Hex:
        return "hex list";
    case F::PaintNet:
        return "Paint.NET palette";
    case F::Jasc:
        return "JASC palette";
    }
    return "palette";
}

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The format a file's name promises, if any.
std::optional<PaletteFormat> formatOfName(const std::string& file) {
    const size_t dot = file.rfind('.');
    const size_t slash = file.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    const std::string ext = lower(file.substr(dot + 1));
    const std::pair<const char*, F> endings[] = {{"palette", F::Own},  {"gpl", F::Gpl},
                                                 {"ase", F::Ase},      {"hex", F::Hex},
                                                 {"txt", F::PaintNet}, {"pal", F::Jasc}};
    for (const auto& [e, f] : endings)
        if (ext == e) return f;
    return {};
}

// Every token a clean number, as the own files hold them; the number of tokens, or -1.
int ownTokens(std::string_view text) {
    int n = 0;
    size_t i = 0;
    while (i < text.size()) {
        auto sep = [&](size_t k) { return std::strchr(" ,\r\n\t", text[k]) != nullptr; };
        while (i < text.size() && sep(i)) ++i;
        size_t j = i;
        while (j < text.size() && !sep(j)) ++j;
        if (j > i) {
            bool clean = false;
            (void)numberToken(text.substr(i, j - i), clean);
            if (!clean) return -1;
            ++n;
        }
        i = j;
    }
    return n;
}

bool fitsLines(std::string_view text, bool paintNet) {
    bool any = false;
    const auto e = eachLine(withoutBom(text), [&](size_t, std::string_view line) {
        if (line.empty() || (paintNet && line[0] == ';')) return std::optional<std::string>();
        if (!paintNet && line[0] == '#') line.remove_prefix(1);
        any = true;
        return hexNumber(line, paintNet ? 8 : 6) < 0 ? std::optional<std::string>("")
                                                     : std::nullopt;
    });
    return any && !e;
}

bool fits(std::string_view text, PaletteFormat f) {
    switch (f) {
    case F::Own:
        return ownTokens(text) > 0;
    case F::Hex:
        return fitsLines(text, false);
    case F::PaintNet:
        return fitsLines(text, true);
    default:
        return false;
    }
}

// Files that say what they are; then the name's format when the text fits it; then what the
// text fits; then the name's format, whose reader says what is wrong.
std::optional<PaletteFormat> formatOf(std::string_view text, const std::string& file) {
    const std::string_view first = firstLine(withoutBom(text));
    if (text.substr(0, 4) == "ASEF") return F::Ase;
    if (first == "GIMP Palette") return F::Gpl;
    if (first == "JASC-PAL") return F::Jasc;
    const std::optional<PaletteFormat> named = formatOfName(file);
    if (named && fits(text, *named)) return named;
    if (ownTokens(text) == 65) return F::Own;
    for (F f : {F::PaintNet, F::Hex})
        if (fits(text, f)) return f;
    return named;
}

Result<Found> readForeign(std::string_view text, PaletteFormat f) {
    switch (f) {
    case F::Gpl:
        return readGpl(text);
    case F::Ase:
        return readAse(text);
    case F::Hex:
        return readHexLines(text, false);
    case F::PaintNet:
        return readHexLines(text, true);
    default:
        return readJasc(text);
    }
}

} // namespace

Result<ReadPalette> parsePaletteFile(std::string_view bytes, const std::string& file) {
    if (bytes.empty()) return fail("it is empty");
    const std::optional<PaletteFormat> f = formatOf(bytes, file);
    if (!f)
        return fail("it is not a palette this program reads (GIMP .gpl, Adobe .ase, .hex, "
                    "Paint.NET .txt, JASC .pal or .palette)");
    ReadPalette out;
    out.format = *f;
    if (*f == F::Own) {
        out.list = parsePalette(bytes);
        if (out.list.damaged >= 65) return fail("no number in it could be read");
        while (out.colours < 64 && out.list.slots[static_cast<size_t>(out.colours)] != 0)
            ++out.colours;
        return out;
    }
    Result<Found> found = readForeign(bytes, *f);
    if (!found) return fail("as a " + std::string(formatName(*f)) + ", " + found.error().message);
    if (found->total == 0) return fail("the " + std::string(formatName(*f)) + " holds no colour");
    std::copy(found->kept.begin(), found->kept.end(), out.list.slots.begin());
    const int kept = static_cast<int>(found->kept.size());
    out.list.numcolors = kept < 64 ? kept + 1 : 64;
    out.name = std::move(found->name);
    out.colours = found->total;
    out.leftOut = found->total - kept;
    return out;
}

Result<ReadPalette> readPaletteFile(const std::string& file) {
    const Result<std::string> bytes = readFileStart(file, kPaletteFileLimit + 1);
    if (!bytes) return bytes.error();
    if (bytes->size() > kPaletteFileLimit)
        return fail("it is larger than " + std::to_string(kPaletteFileLimit >> 20) +
                    " MB, more than any palette");
    return parsePaletteFile(*bytes, file);
}

std::optional<PaletteFormat> writtenFormat(const std::string& file) {
    const std::optional<PaletteFormat> f = formatOfName(file);
    if (f == F::Gpl || f == F::Ase || f == F::Hex || f == F::Own) return f;
    return std::nullopt;
}

namespace {

const char* const kHueNames[] = {"blue", "red", "green", "purple", "yellow", "brown", "grey"};

std::string hexText(int32_t rgb) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02x%02x%02x", rgb & 0xFF, (rgb >> 8) & 0xFF,
                  (rgb >> 16) & 0xFF);
    return buf;
}

// What a colour is called in the files that name colours.
std::string colourName(int32_t value) {
    if (value < 0 && value >= -7)
        return std::string("random ") + kHueNames[-value - 1] + " shade, written as #" +
               hexText(fileColour(value));
    return "#" + hexText(fileColour(value));
}

std::string gplText(const std::vector<int32_t>& list, const std::string& name, int codes) {
    std::string out = "GIMP Palette\nName: " + shownName(name) +
                      "\nColumns: 8\n# Written by Vortalis: its colour list, slot 1 first.\n";
    if (codes > 0) out += "# Random shades of a hue are written as the full shade of that hue.\n";
    for (int32_t v : list) {
        const int32_t c = fileColour(v);
        char buf[16];
        std::snprintf(buf, sizeof buf, "%3d %3d %3d\t", c & 0xFF, (c >> 8) & 0xFF,
                      (c >> 16) & 0xFF);
        out += buf + colourName(v) + "\n";
    }
    return out;
}

void put(std::string& out, uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string aseText(const std::vector<int32_t>& list) {
    std::string out = "ASEF";
    put(out, 1, 2);
    put(out, 0, 2);
    put(out, static_cast<uint32_t>(list.size()), 4);
    for (int32_t v : list) {
        const std::string name = colourName(v); // ASCII
        std::string block;
        put(block, static_cast<uint32_t>(name.size() + 1), 2);
        for (char ch : name) put(block, static_cast<unsigned char>(ch), 2);
        put(block, 0, 2);
        block += "RGB ";
        const int32_t c = fileColour(v);
        for (int shift : {0, 8, 16}) {
            const float x = static_cast<float>(((c >> shift) & 0xFF) / 255.0);
            uint32_t bits;
            std::memcpy(&bits, &x, sizeof bits);
            put(block, bits, 4);
        }
        put(block, 2, 2); // a normal colour, neither global nor spot
        put(out, 0x0001, 2);
        put(out, static_cast<uint32_t>(block.size()), 4);
        out += block;
    }
    return out;
}

} // namespace

EncodedPalette encodePalette(const std::vector<int32_t>& list, PaletteFormat f,
                             const std::string& name) {
    std::vector<int32_t> shown;
    for (int32_t v : list) {
        if (v == 0 || shown.size() == 64) break;
        shown.push_back(v);
    }
    EncodedPalette e;
    if (f == F::Own) {
        State st;
        std::copy(shown.begin(), shown.end(), st.colorlist.begin() + 1);
        st.numcolors = shown.size() < 64 ? static_cast<double>(shown.size() + 1) : 64;
        e.bytes = paletteText(st);
        return e;
    }
    e.shadesAsColours = static_cast<int>(
        std::count_if(shown.begin(), shown.end(), [](int32_t v) { return v < 0; }));
    if (f == F::Gpl) {
        e.bytes = gplText(shown, name, e.shadesAsColours);
    } else if (f == F::Ase) {
        e.bytes = aseText(shown);
    } else {
        for (int32_t v : shown) e.bytes += hexText(fileColour(v)) + "\n";
    }
    return e;
}

} // namespace vx
