#include "engine/scale.hpp"

#include <algorithm>

namespace vx {

ScaleScan scanScale(const Surface& picture, int boxW, int boxH, int firstX) {
    ScaleScan out;
    const int32_t grey = qbColor(7);
    // One bit for each of the 2^24 colours: a colour is found in one look-up, so the scan is
    // linear in the number of points.
    std::vector<uint64_t> seen(1u << 18, 0);
    const int w = std::min(boxW, picture.width()), h = std::min(boxH, picture.height());
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = picture.rowData(y);
        for (int x = std::max(firstX, 0); x < w; ++x) {
            const uint32_t c = row[x] & 0xFFFFFFu;
            if (c == static_cast<uint32_t>(kWhite) || c == static_cast<uint32_t>(grey) ||
                c == static_cast<uint32_t>(kBorder))
                continue;
            uint64_t& word = seen[c >> 6];
            const uint64_t bit = uint64_t{1} << (c & 63);
            if (word & bit) continue;
            if (static_cast<int>(out.colours.size()) >= kMaxScaleColours) {
                out.full = true;
                return out;
            }
            word |= bit;
            out.colours.push_back(static_cast<int32_t>(c));
        }
    }
    return out;
}

} // namespace vx
