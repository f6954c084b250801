#include "app/shapes.hpp"

#include "ui/layout.hpp"

namespace vx {

Shapes::Shapes() : platform(&headless_) {
    ui::buildMainWindow(form);
}
Shapes::Shapes(Platform& p) : platform(&p) {
    ui::buildMainWindow(form);
}

} // namespace vx
