#include "engine/turns.hpp"

#include <cmath>

namespace vx {

void normaliseTurn(Vec2& v) {
    const double ax = std::fabs(v.x), ay = std::fabs(v.y);
    if (!(ax > 1 || ay > 1 || (ax < 1 && ay < 1))) return;
    if (ax == 0 && ay == 0) return;
    if (ax >= ay) {
        const double r = std::fabs(v.y / v.x);
        v.y = v.y < 0 ? -r : (v.y > 0 ? r : 0.0);
        v.x = v.x < 0 ? -1 : 1;
    } else {
        const double r = std::fabs(v.x / v.y);
        v.x = v.x < 0 ? -r : (v.x > 0 ? r : 0.0);
        v.y = v.y < 0 ? -1 : 1;
    }
}

void feedTurn(Vec2& t, const Vec2& s) {
    t.x += s.x;
    t.y += s.y;
    // Sources have both components non-zero, so this ends within two more additions.
    for (int i = 0; i < 3 && (t.x == 0 || t.y == 0); ++i) {
        t.x += s.x;
        t.y += s.y;
    }
}

} // namespace vx
