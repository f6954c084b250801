// Whole single shapes over many seeds: symmetry, no white left inside, colours of the mode.
#include "app/generators.hpp"
#include "engine/shades.hpp"

#include "symmetry.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using namespace vx;

namespace {

int32_t rgb(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}

struct Drawn {
    int cx, cy, half;
};

// A shape of size 100 on a small window (blanking the window is much of a drawing's time),
// with the other fields at their start values.
Drawn draw(Shapes& sh, uint64_t seed, int nsides = 4) {
    sh.surface.resize(240, 200);
    sh.form.setText("Text2", "100");
    sh.form.setText("Text4", std::to_string(nsides));
    sh.rng.seed(seed);
    makeshape(sh);
    return {120, 100, 50};
}

int whitePixels(const Surface& s, const Drawn& d) {
    int n = 0;
    for (int oy = -d.half; oy <= d.half; ++oy)
        for (int ox = -d.half; ox <= d.half; ++ox) n += s.pixel(d.cx + ox, d.cy + oy) == kWhite;
    return n;
}

constexpr uint64_t kSeeds = 500;

} // namespace

TEST(ColouredShapes, BasicModeIsSymmetricFilledAndUsesOnlyTableColours) {
    std::set<int32_t> allowed{kBorder};
    for (int i = 1; i <= 14; ++i)
        if (i != 7) allowed.insert(qbColor(i));
    Shapes sh;
    for (uint64_t seed = 1; seed <= kSeeds; ++seed) {
        const Drawn d = draw(sh, seed);
        ASSERT_TRUE(vx::testing::eightFold(sh.surface, d.cx, d.cy, d.half)) << "seed " << seed;
        ASSERT_EQ(whitePixels(sh.surface, d), 0) << "seed " << seed;
        for (int oy = -d.half; oy <= d.half; ++oy)
            for (int ox = -d.half; ox <= d.half; ++ox)
                ASSERT_TRUE(allowed.count(sh.surface.pixel(d.cx + ox, d.cy + oy)))
                    << "seed " << seed << " at " << ox << "," << oy;
    }
}

TEST(ColouredShapes, TrueColourIsSymmetricAndFilled) {
    Shapes sh;
    sh.st.tcolor = 1;
    for (uint64_t seed = 1; seed <= kSeeds; ++seed) {
        const Drawn d = draw(sh, seed);
        ASSERT_TRUE(vx::testing::eightFold(sh.surface, d.cx, d.cy, d.half)) << "seed " << seed;
        ASSERT_EQ(whitePixels(sh.surface, d), 0) << "seed " << seed;
    }
}

TEST(ColouredShapes, UserListRepaintsOnlyWithListShadeOrFirstPassColours) {
    // The first pass of user colours is the true-colour drawing of the same seed: the census
    // draws no random numbers. Every pixel is that drawing's, a list colour or a green shade.
    Shapes user, plain;
    for (Shapes* sh : {&user, &plain}) {
        sh->st.tcolor = 1;
    }
    user.st.tcolor2 = 1;
    user.st.colorlist[1] = rgb(255, 0, 0);
    user.st.colorlist[2] = -3;
    user.st.colorlist[3] = kListBlack;
    std::set<int32_t> extra{rgb(255, 0, 0), kListBlack};
    for (int i = 1; i <= 20; ++i) extra.insert(kGreenShades[i]);
    int repainted = 0;
    for (uint64_t seed = 1; seed <= kSeeds; ++seed) {
        const Drawn d = draw(user, seed);
        draw(plain, seed);
        ASSERT_TRUE(vx::testing::eightFold(user.surface, d.cx, d.cy, d.half)) << "seed " << seed;
        ASSERT_EQ(whitePixels(user.surface, d), 0) << "seed " << seed;
        bool changed = false;
        for (int oy = -d.half; oy <= d.half; ++oy)
            for (int ox = -d.half; ox <= d.half; ++ox) {
                const int32_t u = user.surface.pixel(d.cx + ox, d.cy + oy);
                const int32_t p = plain.surface.pixel(d.cx + ox, d.cy + oy);
                ASSERT_TRUE(u == p || extra.count(u)) << "seed " << seed;
                changed = changed || u != p;
            }
        repainted += changed;
    }
    EXPECT_EQ(repainted, static_cast<int>(kSeeds));
}

TEST(ColouredShapes, EightSidedShapesAreSymmetricAndFilled) {
    for (double mode : {0.0, 1.0}) {
        Shapes sh;
        sh.st.tcolor = mode;
        for (uint64_t seed = 1; seed <= 150; ++seed) {
            const Drawn d = draw(sh, seed, 8);
            ASSERT_TRUE(vx::testing::eightFold(sh.surface, d.cx, d.cy, d.half))
                << "mode " << mode << " seed " << seed;
            ASSERT_EQ(whitePixels(sh.surface, d), 0) << "mode " << mode << " seed " << seed;
            if (mode != 0) continue;
            for (int oy = -d.half; oy <= d.half; ++oy)
                for (int ox = -d.half; ox <= d.half; ++ox)
                    ASSERT_NE(sh.surface.pixel(d.cx + ox, d.cy + oy), qbColor(7));
        }
    }
}
