#include "model/fields.hpp"

#include "surface/numeric.hpp"

namespace vx {

const FieldSpec* fieldSpec(std::string_view name) {
    for (const FieldSpec* f : kAllFields)
        if (name == f->name) return f;
    return nullptr;
}

double clampToField(const FieldSpec& f, double v) {
    return f.clamped() ? clampTo(v, f.lo, f.hi) : v;
}

double fieldValue(const FieldSpec& f, std::string_view text) {
    return clampToField(f, fieldNumber(text));
}

} // namespace vx
