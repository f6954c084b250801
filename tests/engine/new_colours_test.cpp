// A new colouring of a drawing: the same outline, coloured again from a stream of its own.
#include "engine/pattern.hpp"
#include "engine/shape.hpp"
#include "surface/shrink.hpp"

#include <gtest/gtest.h>

using namespace vx;

namespace {

// The drawing on a surface as the generators leave it.
Surface drawn(const Drawing& d) {
    Random rng(d.seed);
    std::optional<Random> colours = colourStream(d.seed, d.newColours);
    Surface canvas(d.width, d.height), picture;
    if (d.kind == DrawingKind::Pattern)
        drawPattern(d.settings, rng, canvas, picture, {}, nullptr, colours ? &*colours : nullptr);
    else
        drawShape(d.settings, rng, canvas, picture, nullptr, colours ? &*colours : nullptr);
    return canvas;
}

ColourSettings mode(double tcolor, double tcolor2, std::vector<int32_t> list = {},
                    std::vector<int32_t> scale = {}) {
    ColourSettings c;
    c.tcolor = tcolor;
    c.tcolor2 = tcolor2;
    c.list = std::move(list);
    c.scale = std::move(scale);
    return c;
}

} // namespace

// Over many seeds, both kinds, four and eight sides and every colour mode (basic, true, the
// list with shades, black and white, the imported scale with and without the list): the
// colour-1 pixels of every new colouring are those of the drawing, pixel for pixel, and the
// colours are not.
TEST(NewColours, KeepTheOutlinePixelForPixelAndColourTheRegionsAgain) {
    // A shade first: a drawing of one region (a pattern of eight sides) can change colour too.
    const std::vector<int32_t> list{-3, 255, 16711680, 2, 16777213, -7};
    const std::vector<int32_t> scale{0x123456, 0xFF8800, 0x00AAFF, 0x44DD44, 0x9900CC};
    const ColourSettings modes[] = {mode(0, 0), mode(1, 0), mode(1, 1, list), mode(2, 0, {}, scale),
                                    mode(2, 1, list, scale)};
    int recoloured = 0, cases = 0;
    for (DrawingKind kind : {DrawingKind::Shape, DrawingKind::Pattern})
        for (double sides : {4.0, 8.0})
            for (uint64_t seed = 1; seed <= 12; ++seed)
                for (const ColourSettings& cs : modes) {
                    Drawing d{kind, seed * 7919, {}, 230, 170};
                    d.settings.size = kind == DrawingKind::Shape ? 120 : 60;
                    d.settings.sides = sides;
                    d.settings.smoothness = static_cast<double>(seed % 9 + 1);
                    d.settings.colour = cs;
                    const Surface original = drawn(d);
                    for (uint32_t k : {1u, 2u, 4000000000u}) {
                        d.newColours = k;
                        const Surface again = drawn(d);
                        bool changed = false;
                        for (int y = 0; y < d.height; ++y)
                            for (int x = 0; x < d.width; ++x) {
                                const int32_t a = original.pixel(x, y), b = again.pixel(x, y);
                                ASSERT_EQ(a == kBorder, b == kBorder)
                                    << "seed " << d.seed << " K " << k << " at " << x << "," << y;
                                changed = changed || a != b;
                            }
                        recoloured += changed;
                        ++cases;
                    }
                }
    // A drawing of one region may come out in the colour it had now and then.
    EXPECT_GT(recoloured, cases * 9 / 10) << recoloured << " of " << cases;
}

TEST(Shrink, AveragesTheAreaEachPixelCovers) {
    Surface s(6, 4, 0);
    // Left half black, right half blue (0, 0, 255), a white column at x 1.
    s.fillBox(3, 0, 5, 3, 0xFF0000);
    s.fillBox(1, 0, 1, 3, kWhite);
    const Surface half = shrink(s, 3, 2);
    ASSERT_EQ(half.width(), 3);
    ASSERT_EQ(half.height(), 2);
    EXPECT_EQ(half.pixel(0, 0), 0x808080); // black and white, half each (127.5 rounds up)
    EXPECT_EQ(half.pixel(1, 1), 0x800000); // half black, half blue
    EXPECT_EQ(half.pixel(2, 0), 0xFF0000);
    // A ratio that is no whole number: a plain surface stays plain.
    const Surface plain = shrink(Surface(1920, 1080, 0x336699), 7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) ASSERT_EQ(plain.pixel(x, y), 0x336699);
    // Never larger than the source, never empty.
    EXPECT_EQ(shrink(s, 10, 0).width(), 6);
    EXPECT_EQ(shrink(s, 10, 0).height(), 1);
    EXPECT_EQ(shrink(Surface(), 3, 3).width(), 0);
}
