#pragma once
// The check most generator faults fail: a drawing looks the same under the eight symmetries
// of the square about a centre pixel (two mirrors and the diagonal mirror generate them all).
#include "surface/surface.hpp"

#include <gtest/gtest.h>

namespace vx::testing {

inline ::testing::AssertionResult eightFold(const Surface& s, int cx, int cy, int half) {
    for (int oy = -half; oy <= half; ++oy)
        for (int ox = -half; ox <= half; ++ox) {
            const int32_t p = s.pixel(cx + ox, cy + oy);
            if (p != s.pixel(cx - ox, cy + oy) || p != s.pixel(cx + ox, cy - oy) ||
                p != s.pixel(cx + oy, cy + ox))
                return ::testing::AssertionFailure() << "asymmetric at offset " << ox << "," << oy;
        }
    return ::testing::AssertionSuccess();
}

} // namespace vx::testing
