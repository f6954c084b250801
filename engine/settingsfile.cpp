#include "engine/settingsfile.hpp"

#include "surface/numeric.hpp"

#include <charconv>
#include <cmath>

namespace vx {

namespace {

bool isSeparator(char c) {
    return c == ' ' || c == ',' || c == '\t';
}

// The line at pos, without its end (CR, LF or CR LF); pos moves past the end.
std::string_view nextLine(std::string_view text, size_t& pos) {
    const size_t start = pos;
    while (pos < text.size() && text[pos] != '\r' && text[pos] != '\n') ++pos;
    const std::string_view line = text.substr(start, pos - start);
    if (pos < text.size()) {
        if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
        ++pos;
    }
    return line;
}

// The token of a line at pos or after it; empty at the line's end.
std::string_view nextToken(std::string_view line, size_t& pos) {
    while (pos < line.size() && isSeparator(line[pos])) ++pos;
    const size_t start = pos;
    while (pos < line.size() && !isSeparator(line[pos])) ++pos;
    return line.substr(start, pos - start);
}

} // namespace

double numberToken(std::string_view tok, bool& clean) {
    double exact = 0;
    const auto [end, ec] = std::from_chars(tok.data(), tok.data() + tok.size(), exact);
    clean =
        !tok.empty() && ec == std::errc() && end == tok.data() + tok.size() && std::isfinite(exact);
    return clean ? exact : fieldNumber(tok);
}

SettingsValues parseSettings(std::string_view text) {
    // Walks the text in place: no list of lines or tokens is made.
    SettingsValues v;
    if (text.size() > kSettingsReadLimit) text = text.substr(0, kSettingsReadLimit);
    size_t pos = 0;
    if (!text.empty()) {
        const std::string_view line = nextLine(text, pos);
        size_t at = 0;
        for (size_t i = 0; i < 15; ++i) {
            const std::string_view tok = nextToken(line, at);
            if (tok.empty()) break;
            bool clean = false;
            v.head[i] = numberToken(tok, clean);
            if (!clean) v.unreadable.set(i);
        }
    }
    // Nothing past the 64 colour lines is read.
    for (size_t i = 0; i < 64 && pos < text.size(); ++i) {
        const std::string_view line = nextLine(text, pos);
        size_t at = 0;
        const std::string_view first = nextToken(line, at);
        bool clean = false;
        v.colours[i] = first.empty() ? 0.0 : numberToken(first, clean);
        if (!clean || !nextToken(line, at).empty()) v.unreadable.set(15 + i);
    }
    return v;
}

std::string printNumber(double v) {
    // Fifteen significant digits as the fields show them, with "." in every locale.
    char buf[40];
    std::string t = "0";
    if (std::isfinite(v)) {
        const auto r =
            std::to_chars(buf, buf + sizeof buf, v == 0 ? 0.0 : v, std::chars_format::general, 15);
        t.assign(buf, r.ptr);
    }
    if (!t.empty() && t[0] == '-') return t + " ";
    return " " + t + " ";
}

std::string settingsText(const State& st, double seconds) {
    const double head[15] = {st.detailf, st.swidth, st.complexy2, st.complexy, st.tcolor,
                             st.nsides,  seconds,   st.sharpf,    st.centerf,  st.mpattern,
                             st.nwait4,  st.ntimes, st.complexy4, st.tcolor2,  st.numcolors};
    std::string out;
    out.reserve(15 * 24 + 64 * 12 + 6); // the longest numbers: one allocation
    for (double x : head) out += printNumber(x);
    out += "\r\n";
    for (int i = 1; i <= 64; ++i) {
        out += i <= st.numcolors ? printNumber(st.colorlist[i]) : std::string("0");
        out += "\r\n";
    }
    out += "9999\r\n";
    return out;
}

} // namespace vx
