// Coloured patterns over many seeds, in each colour mode: every copy of the tile is exactly
// symmetric, nothing is left white, and every colour is one the mode can give.
#include "app/generators.hpp"
#include "engine/shades.hpp"
#include "symmetry.hpp"

#include <gtest/gtest.h>
#include <set>

using namespace vx;

namespace {

enum class Mode { Basic, True, User };

struct Pattern {
    Shapes sh;
    int s = 0;
    Pattern(Mode mode, uint64_t seed) {
        sh.surface.resize(230 + static_cast<int>(seed % 3) * 17, 190 + static_cast<int>(seed % 2));
        sh.st.tcolor = mode == Mode::Basic ? 0 : 1;
        sh.st.tcolor2 = mode == Mode::User ? 1 : 0;
        if (mode == Mode::User) {
            sh.st.colorlist[1] = 255;      // red
            sh.st.colorlist[2] = -3;       // a random green
            sh.st.colorlist[3] = 16711680; // blue
        }
        static const char* sizes[] = {"60", "75", "100", "120"};
        static const char* smooth[] = {"1", "2", "4", "9"};
        sh.form.setText("Text2", sizes[seed % 4]);
        sh.form.setText("Text10", smooth[(seed / 4) % 4]);
        sh.form.setText("Text3", seed % 5 ? "16" : "25");
        sh.form.setText("Text4", seed % 11 ? "4" : "8");
        if (seed % 2) sh.form.selectOption("Option1", {"Option1", "Option2"});
        sh.rng.seed(seed);
        makeshape2(sh);
        s = static_cast<int>(std::floor(sh.st.swidth / 10) * 10);
    }
    std::set<int32_t> colours() const {
        std::set<int32_t> out;
        for (int y = 0; y < sh.surface.height(); ++y)
            for (int x = 0; x < sh.surface.width(); ++x) out.insert(sh.surface.pixel(x, y));
        return out;
    }
};

void checkAll(Mode mode) {
    std::set<int32_t> basic = {kBorder};
    for (int n = 1; n <= 14; ++n)
        if (n != 7) basic.insert(qbColor(n));
    int redSeen = 0;
    for (uint64_t seed = 1; seed <= 500; ++seed) {
        Pattern p(mode, seed);
        // The copy at (1, 1) has its centre at (s/2, s/2).
        ASSERT_TRUE(vx::testing::eightFold(p.sh.surface, p.s / 2, p.s / 2, p.s / 2 - 1))
            << "seed " << seed;
        const auto cs = p.colours();
        if (mode != Mode::User) {
            ASSERT_EQ(cs.count(kWhite), 0u) << "seed " << seed;
        }
        if (mode == Mode::Basic) {
            for (int32_t c : cs) ASSERT_EQ(basic.count(c), 1u) << "seed " << seed << " " << c;
        }
        if (mode == Mode::User) redSeen += cs.count(255) > 0;
    }
    // The largest region of every pattern becomes the list's first colour.
    if (mode == Mode::User) {
        EXPECT_EQ(redSeen, 500);
    }
}

} // namespace

TEST(PatternColourProperty, BasicColours) {
    checkAll(Mode::Basic);
}
TEST(PatternColourProperty, TrueColour) {
    checkAll(Mode::True);
}
TEST(PatternColourProperty, UserList) {
    checkAll(Mode::User);
}
