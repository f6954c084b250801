#include "core/shapes.hpp"

#include "ui/layout.hpp"

#include <algorithm>

namespace vx {

Shapes::Shapes() : platform(&headless_) {
    ui::buildMainWindow(form);
}
Shapes::Shapes(Platform& p) : platform(&p) {
    ui::buildMainWindow(form);
}

double Shapes::clampField(const std::string& name, double lo, double hi) {
    const double v = clampTo(field(name), lo, hi);
    setField(name, v);
    return v;
}

double bigBoxX(const Shapes& sh) {
    return std::max(1000, sh.surface.width() + 10);
}
double bigBoxY(const Shapes& sh) {
    return std::max(1000, sh.surface.height() + 10);
}

void blankWindow(Shapes& sh, int32_t colour) {
    sh.surface.fillBox(0, 0, bigBoxX(sh), bigBoxY(sh), colour);
}

void fillWithRetry(Shapes&, Surface& s, int x, int y, int tx, int ty) {
    // A black or white fill colour, or a seed that cannot change, would retry for ever.
    for (int pass = 0; pass < kFillRetries; ++pass) {
        s.floodFill(x, y, kBorder);
        const int32_t first = s.pixel(tx, ty);
        const int32_t second = s.pixel(tx, ty);
        if (!(first == 0 || second == kWhite)) return;
    }
}

} // namespace vx
