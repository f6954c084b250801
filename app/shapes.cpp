#include "app/shapes.hpp"

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

} // namespace vx
