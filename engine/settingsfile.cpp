#include "engine/settingsfile.hpp"

#include "surface/numeric.hpp"

#include <charconv>
#include <cmath>
#include <vector>

namespace vx {

namespace {

bool isSeparator(char c) {
    return c == ' ' || c == ',' || c == '\t';
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
        if (lines.size() > 66) return lines; // nothing past the end marker is read
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::vector<std::string_view> splitTokens(std::string_view line) {
    std::vector<std::string_view> toks;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isSeparator(line[i])) ++i;
        size_t j = i;
        while (j < line.size() && !isSeparator(line[j])) ++j;
        if (j > i) toks.push_back(line.substr(i, j - i));
        i = j;
    }
    return toks;
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
    SettingsValues v;
    if (text.size() > kSettingsReadLimit) text = text.substr(0, kSettingsReadLimit);
    const std::vector<std::string_view> lines = splitLines(text);
    if (lines.empty()) return v;
    const std::vector<std::string_view> toks = splitTokens(lines[0]);
    for (size_t i = 0; i < toks.size() && i < 15; ++i) {
        bool clean = false;
        v.head[i] = numberToken(toks[i], clean);
        if (!clean) v.unreadable.set(i);
    }
    for (size_t i = 1; i < lines.size() && i <= 64; ++i) {
        const std::vector<std::string_view> t = splitTokens(lines[i]);
        bool clean = false;
        v.colours[i - 1] = t.empty() ? 0.0 : numberToken(t[0], clean);
        if (!clean || t.size() > 1) v.unreadable.set(15 + i - 1);
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
