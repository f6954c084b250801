#include "engine/palette.hpp"

#include "engine/settingsfile.hpp"
#include "surface/numeric.hpp"

#include <cmath>
#include <vector>

namespace vx {

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
        st.colorlist[slot] = validListValue(v) ? static_cast<int32_t>(v) : 0;
    }
    if (numbers.size() >= 65) st.numcolors = clampTo(std::round(numbers[64]), 1, 64);
}

} // namespace vx
