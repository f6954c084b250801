#include "engine/fill.hpp"

#include <algorithm>

namespace vx {

void fillWithRetry(Surface& s, int x, int y, int tx, int ty) {
    // A black or white fill colour, or a seed that cannot change, would retry for ever.
    for (int pass = 0; pass < kFillRetries; ++pass) {
        s.floodFill(x, y, kBorder);
        const int32_t first = s.pixel(tx, ty);
        const int32_t second = s.pixel(tx, ty);
        if (!(first == 0 || second == kWhite)) return;
    }
}

double bigBoxX(const Surface& s) {
    return std::max(1000, s.width() + 10);
}
double bigBoxY(const Surface& s) {
    return std::max(1000, s.height() + 10);
}

void blankWindow(Surface& s, int32_t colour) {
    s.fillBox(0, 0, bigBoxX(s), bigBoxY(s), colour);
}

} // namespace vx
