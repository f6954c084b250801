#include "engine/palette.hpp"

#include "engine/settingsfile.hpp"

#include <vector>

namespace vx {

PaletteList parsePalette(std::string_view text) {
    PaletteList p;
    if (text.size() > kPaletteReadLimit) {
        text = text.substr(0, kPaletteReadLimit);
        ++p.damaged;
    }
    std::vector<double> numbers;
    size_t i = 0;
    while (i < text.size() && numbers.size() < 65) {
        auto separator = [&](size_t k) {
            const char c = text[k];
            return c == ' ' || c == ',' || c == '\r' || c == '\n' || c == '\t';
        };
        while (i < text.size() && separator(i)) ++i;
        size_t j = i;
        while (j < text.size() && !separator(j)) ++j;
        if (j > i) {
            bool clean = false;
            numbers.push_back(numberToken(text.substr(i, j - i), clean));
            if (!clean) ++p.damaged;
        }
        i = j;
    }
    if (numbers.size() < 65) p.damaged += static_cast<int>(65 - numbers.size());

    // The filled slots must form one run from slot 1: what is usable closes up.
    int filled = 0;
    bool gap = false;
    for (size_t k = 0; k < 64 && k < numbers.size(); ++k) {
        const double v = numbers[k];
        if (!validListValue(v)) {
            ++p.damaged;
            gap = true;
            continue;
        }
        if (v == 0) {
            gap = true;
            continue;
        }
        if (gap) ++p.damaged;
        p.slots[static_cast<size_t>(filled++)] = static_cast<int32_t>(v);
    }
    p.numcolors = filled < 64 ? filled + 1 : 64;
    if (numbers.size() == 65 && numbers[64] != p.numcolors) ++p.damaged;
    return p;
}

void applyPalette(State& st, const PaletteList& p) {
    for (size_t k = 0; k < 64; ++k) st.colorlist[k + 1] = p.slots[k];
    st.numcolors = p.numcolors;
}

std::string paletteText(const State& st) {
    std::string out;
    for (int i = 1; i <= 64; ++i) out += printNumber(st.colorlist[static_cast<size_t>(i)]) + "\r\n";
    out += printNumber(st.numcolors) + "\r\n";
    return out;
}

} // namespace vx
