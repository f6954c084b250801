#pragma once
// The option fields in one table: which field carries which setting, the range a use of it
// enforces, and the cap applied while the user types.
#include "model/drawing.hpp"
#include "model/state.hpp"

#include <string_view>

namespace vx {

struct FieldSpec {
    const char* name;              // the text field
    double DrawSettings::*setting; // the drawing setting it gives; nullptr for the period
    double State::*member;         // the state member that keeps it; nullptr for the period
    double lo, hi;                 // clamped to lo..hi when used; lo > hi: taken as it is
    double cap;                    // on key release a number above it becomes it; 0: none

    bool clamped() const { return lo <= hi; }
};

inline constexpr FieldSpec kSizeField{"Text2", &DrawSettings::size, &State::swidth, 40, 400, 400};
inline constexpr FieldSpec kDetailField{"Text3", &DrawSettings::detail, &State::detailf, 1, 25, 25};
inline constexpr FieldSpec kComplexityField{
    "Text9", &DrawSettings::complexity, &State::complexy4, 1, 25, 25};
inline constexpr FieldSpec kSmoothnessField{
    "Text10", &DrawSettings::smoothness, &State::sharpf, 1, 9, 0};
inline constexpr FieldSpec kShapeComplexityField{
    "Text1", &DrawSettings::shapeComplexity, &State::complexy2, 0, 20, 0};
inline constexpr FieldSpec kSidesField{"Text4", &DrawSettings::sides, &State::nsides, 1, 0, 0};
// The seconds waited between drawings in screen-saver mode: a field without a member.
inline constexpr FieldSpec kSecondsField{"Text5", nullptr, nullptr, 1, 50, 50};

// The fields of a drawing, in the order a run reads them.
inline constexpr const FieldSpec* kDrawingFields[] = {
    &kSizeField,       &kDetailField,          &kComplexityField,
    &kSmoothnessField, &kShapeComplexityField, &kSidesField};
inline constexpr const FieldSpec* kAllFields[] = {
    &kSizeField,  &kDetailField, &kComplexityField, &kSmoothnessField, &kShapeComplexityField,
    &kSidesField, &kSecondsField};

// The field of that name, or nullptr.
const FieldSpec* fieldSpec(std::string_view name);

// What a use of the field makes of its text: the leading number, clamped to the range.
double fieldValue(const FieldSpec& f, std::string_view text);
double clampToField(const FieldSpec& f, double v);

} // namespace vx
