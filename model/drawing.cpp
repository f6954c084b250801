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

} // namespace vx
