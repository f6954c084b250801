#pragma once
// The turning chain of both generators: two-component turn vectors, normalised so that one
// step moves exactly one pixel along its main axis.
namespace vx {

struct Vec2 {
    double x = 0, y = 0;
};

// Makes the larger component exactly +-1 (one pixel along the main axis per step).
void normaliseTurn(Vec2& v);
// target += source, repeated while a component of the target is 0.
void feedTurn(Vec2& target, const Vec2& source);

} // namespace vx
