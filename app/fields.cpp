#include "app/fields.hpp"

namespace vx {

double readField(Shapes& sh, const FieldSpec& f, bool writeBack) {
    const double v = fieldValue(f, sh.form.text(f.name));
    if (writeBack && f.clamped()) sh.setField(f.name, v);
    if (f.member) sh.st.*f.member = v;
    return v;
}

DrawSettings readDrawSettings(Shapes& sh) {
    DrawSettings s;
    for (const FieldSpec* f : kDrawingFields) s.*f->setting = readField(sh, *f);
    s.fancy = sh.form.checked("Option2");
    s.colour = colourSettings(sh.st);
    return s;
}

void capField(Shapes& sh, const FieldSpec& f) {
    if (f.cap > 0 && sh.field(f.name) > f.cap) sh.setField(f.name, f.cap);
}

} // namespace vx
