#pragma once
// Filling as both generators do it: the flood fill with its retry, and the box that blanks
// the whole window.
#include "surface/surface.hpp"

namespace vx {

// Passes of the retried flood fill before it gives up.
constexpr int kFillRetries = 3;

// Flood fill with the retry rule: fills at (x, y) with border colour 1 and tests the pixel
// (tx, ty) twice; black or white there means the fill did not take and it is tried again,
// at most kFillRetries times.
void fillWithRetry(Surface& s, int x, int y, int tx, int ty);
inline void fillWithRetry(Surface& s, int x, int y) {
    fillWithRetry(s, x, y, x, y);
}

// Extent of the boxes that blank or bound the whole window: at least (1000, 1000), and past
// the surface's own edges when the window is larger.
double bigBoxX(const Surface& s);
double bigBoxY(const Surface& s);
// Fills the whole window with a colour, as the generators blank it.
void blankWindow(Surface& s, int32_t colour);

} // namespace vx
