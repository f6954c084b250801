#pragma once
// The one window object: state, form model, the window surface and the shape picture.
#include "core/state.hpp"
#include "platform/platform.hpp"
#include "surface/numeric.hpp"
#include "surface/surface.hpp"
#include "ui/form.hpp"

#include <memory>

namespace vx {

struct Shapes {
    Shapes();
    explicit Shapes(Platform& p);

    State st;
    ui::Form form;
    Surface surface{792, 552};
    Surface picture1{201, 161, 0};
    Random rng;
    Platform* platform;

    // The number in a field (leading number, blanks ignored, none gives 0).
    double field(const std::string& name) const { return fieldNumber(form.text(name)); }
    // Reads a field, clamps it to lo..hi and writes the clamped value back.
    double clampField(const std::string& name, double lo, double hi);
    void setField(const std::string& name, double v) { form.setText(name, numberText(v)); }

  private:
    Platform headless_;
};

// A drift step of the moving shape picture: +0.01 or -0.01, by a random whole number 1 or 2.
inline double driftStep(Random& rng) {
    return rng.upTo(2) == 1 ? 0.01 : -0.01;
}

// Extent of the boxes that blank or bound the whole window: at least (1000, 1000), and past
// the surface's own edges when the window is larger.
double bigBoxX(const Shapes& sh);
double bigBoxY(const Shapes& sh);
// Fills the whole window with a colour, as the generators blank it.
void blankWindow(Shapes& sh, int32_t colour);

// Flood fill with the retry rule: fills at (x, y) with border colour 1 and tests the pixel
// (tx, ty) twice; black or white there means the fill did not take and it is tried again,
// at most a few times.
void fillWithRetry(Shapes& sh, Surface& s, int x, int y, int tx, int ty);
inline void fillWithRetry(Shapes& sh, Surface& s, int x, int y) {
    fillWithRetry(sh, s, x, y, x, y);
}
constexpr int kFillRetries = 3;

} // namespace vx
