#include "pattern/makeshape2.hpp"
#include "shape/colouring.hpp"

namespace vx {

void colourTile(Shapes& sh, int cx, int cy, double s, int nsides) {
    colourRegions(sh, cx, cy, s, nsides, DiagonalColour::Fresh);
}

} // namespace vx
