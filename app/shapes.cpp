#include "app/shapes.hpp"

#include "app/favourites.hpp"
#include "app/palettemenu.hpp"
#include "ui/layout.hpp"

namespace vx {

Shapes::Shapes() : platform(&headless_) {
    ui::buildMainWindow(form);
    addPaletteMenu(form);
}
Shapes::Shapes(Platform& p) : platform(&p) {
    ui::buildMainWindow(form);
    addPaletteMenu(form);
}

// The page's workers and a running export end before the window they belong to.
Shapes::~Shapes() = default;

} // namespace vx
