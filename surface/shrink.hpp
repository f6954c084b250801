#pragma once
// A surface made smaller by averaging: every pixel of the result is the mean colour of the area
// of the source it covers, so that thin outlines and small regions blend in rather than
// flicker in and out as a nearest-pixel reduction would.
#include "surface/surface.hpp"

namespace vx {

// The source scaled to w x h, each cut to 1 .. the source's side (no enlarging). An empty
// source gives an empty surface.
Surface shrink(const Surface& src, int w, int h);

} // namespace vx
