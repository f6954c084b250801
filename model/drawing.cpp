#include "model/drawing.hpp"

#include <algorithm>
#include <cmath>

namespace vx {

ColourSettings colourSettings(const State& st) {
    ColourSettings c;
    c.tcolor = st.tcolor;
    c.tcolor2 = st.tcolor2;
    for (size_t i = 1; i < st.colorlist.size() && st.colorlist[i] != 0; ++i)
        c.list.push_back(st.colorlist[i]);
    const double top = static_cast<double>(st.importcolors.size() - 1);
    const size_t n = static_cast<size_t>(std::clamp(std::floor(st.cgf), 0.0, top));
    c.scale.assign(st.importcolors.begin() + 1, st.importcolors.begin() + 1 + n);
    return c;
}

std::optional<Random> colourStream(uint64_t seed, uint32_t newColours) {
    if (newColours == 0) return std::nullopt;
    // Apart from the seed's own stream and from the stream of every other colouring.
    uint64_t z = seed ^ (static_cast<uint64_t>(newColours) * 0xD1B54A32D192ED03ULL);
    z = (z ^ (z >> 32)) * 0x9FB21C651E98DF25ULL;
    return Random(z ^ (z >> 29) ^ 0xC0105EEDC0105EEDULL);
}

} // namespace vx
