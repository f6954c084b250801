#include "engine/palette.hpp"

#include "engine/settingsfile.hpp"

#include <algorithm>
#include <bitset>
#include <vector>

namespace vx {

PaletteList parsePalette(std::string_view text) {
    PaletteList p;
    // One mark a value however many ways it is wrong, so the count is at most the file's 65.
    std::bitset<65> wrong;
    if (text.size() > kPaletteReadLimit) text = text.substr(0, kPaletteReadLimit);
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
            if (!clean) wrong.set(numbers.size() - 1);
        }
        i = j;
    }
    for (size_t k = numbers.size(); k < 65; ++k) wrong.set(k); // missing

    // The filled slots must form one run from slot 1: what is usable closes up.
    int filled = 0;
    bool gap = false;
    for (size_t k = 0; k < 64 && k < numbers.size(); ++k) {
        const double v = numbers[k];
        if (!validListValue(v)) {
            wrong.set(k);
            gap = true;
            continue;
        }
        if (v == 0) {
            gap = true;
            continue;
        }
        if (gap) wrong.set(k);
        p.slots[static_cast<size_t>(filled++)] = static_cast<int32_t>(v);
    }
    p.numcolors = filled < 64 ? filled + 1 : 64;
    if (numbers.size() == 65 && numbers[64] != p.numcolors) wrong.set(64);
    p.damaged = static_cast<int>(wrong.count());
    return p;
}

std::string paletteDamage(const std::string& file, int damaged) {
    return file + " is damaged: what could be used was loaded (" + std::to_string(damaged) +
           (damaged == 1 ? " value" : " values") + " of 65 left out or mended).";
}

void applyPalette(State& st, const PaletteList& p) {
    for (size_t k = 0; k < 64; ++k) st.colorlist[k + 1] = p.slots[k];
    // The palette is the whole list: slots past its 64 (a drawing code's) are emptied.
    std::fill(st.colorlist.begin() + 65, st.colorlist.end(), 0);
    st.numcolors = p.numcolors;
}

std::string paletteText(const State& st) {
    std::string out;
    for (int i = 1; i <= 64; ++i) out += printNumber(st.colorlist[static_cast<size_t>(i)]) + "\r\n";
    out += printNumber(st.numcolors) + "\r\n";
    return out;
}

} // namespace vx
