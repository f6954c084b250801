// The tiling: copies of the centre tile from (1, 1) in steps of s - 1, and abb/dbb.
#include "engine/pattern.hpp"

#include <gtest/gtest.h>

using namespace vx;

namespace {

// The tiling as the copying loop describes it, one painted copy at a time.
Surface tiledByLoop(const Surface& window, int s, double& abb, double& dbb) {
    Surface pic(s + 2, s + 2, kPictureBack);
    const int w = window.width(), h = window.height();
    const int cx = w / 2, cy = h / 2;
    pic.paint(window, 1, 1, cx - s / 2 + 1, cy - s / 2 + 1, s, s);
    Surface out = window;
    out.fillBox(0, 0, std::max(1000, w + 10), std::max(1000, h + 10), kBorder);
    int a = 1, b = 1;
    for (;;) {
        out.paint(pic, a, b, 1, 1, s, s);
        a += s - 1;
        if (a > w) {
            abb = a - w;
            a = 1;
            b += s - 1;
            if (b > h) break;
        }
    }
    dbb = b - h;
    abb = s - abb;
    dbb = s - dbb;
    return out;
}

void scribble(Surface& sf, uint64_t seed) {
    Random r(seed);
    for (int y = 0; y < sf.height(); ++y)
        for (int x = 0; x < sf.width(); ++x)
            sf.setPixel(x, y, static_cast<int32_t>(r.next() * 16777216.0));
}

} // namespace

TEST(PatternTiling, MatchesTheCopyingLoopPixelForPixel) {
    struct Case {
        int w, h, s;
    };
    const Case cases[] = {{792, 552, 200}, {797, 598, 200},   {640, 480, 40}, {401, 399, 400},
                          {100, 90, 200},  {1000, 37, 70},    {61, 1203, 60}, {2, 2, 40},
                          {300, 300, 290}, {1921, 1081, 110}, {1, 50, 40},    {50, 1, 40}};
    for (const Case& c : cases) {
        Surface sf(c.w, c.h), tile;
        scribble(sf, static_cast<uint64_t>(c.w * 7 + c.h));
        double abb = 0, dbb = 0;
        const Surface expected = tiledByLoop(sf, c.s, abb, dbb);
        const TilingEnd end = tilePattern(sf, c.s, tile);
        EXPECT_TRUE(sf == expected) << c.w << "x" << c.h << " s " << c.s;
        EXPECT_EQ(end.abb, abb) << c.w << "x" << c.h << " s " << c.s;
        EXPECT_EQ(end.dbb, dbb) << c.w << "x" << c.h << " s " << c.s;
        EXPECT_EQ(tile.width(), c.s + 2);
        EXPECT_EQ(tile.height(), c.s + 2);
    }
}

TEST(PatternTiling, RemaindersForKnownWindows) {
    // 792 x 552, s 200: copies at x = 1, 200, 399, 598 (next 797), rows at 1, 200, 399 (next
    // 598); the last copies fall 5 and 46 pixels past the window.
    Surface sf(792, 552), tile;
    TilingEnd end = tilePattern(sf, 200, tile);
    EXPECT_EQ(end.abb, 195);
    EXPECT_EQ(end.dbb, 154);
    EXPECT_EQ(end.a, 1);
    EXPECT_EQ(end.b, 598);

    // A window that ends exactly where a copy starts still gets that copy.
    sf = Surface(797, 200);
    end = tilePattern(sf, 200, tile);
    EXPECT_EQ(end.abb, 1);
    EXPECT_EQ(end.dbb, 200 - (399 - 200));
}

TEST(PatternTiling, TopRowAndLeftColumnKeepTheBorderAndFramesMeetInPairs) {
    Surface sf(500, 420), tile;
    const int s = 100, cx = 250, cy = 210;
    // A tile of its frame only, inside white.
    sf.box(cx - 49, cy - 49, cx + 49, cy + 49, kBorder);
    tilePattern(sf, s, tile);
    for (int x = 0; x < 500; ++x) EXPECT_EQ(sf.pixel(x, 0), kBorder) << x;
    for (int y = 0; y < 420; ++y) EXPECT_EQ(sf.pixel(0, y), kBorder) << y;
    // Copies at x = 1, 100, 199, ...: frame columns at 1 and 99 of the first, the next copy's
    // left frame at 100, so two border columns 99 and 100 separate the insides.
    const int y = 50;
    EXPECT_EQ(sf.pixel(1, y), kBorder);
    EXPECT_EQ(sf.pixel(2, y), kWhite);
    EXPECT_EQ(sf.pixel(98, y), kWhite);
    EXPECT_EQ(sf.pixel(99, y), kBorder);
    EXPECT_EQ(sf.pixel(100, y), kBorder);
    EXPECT_EQ(sf.pixel(101, y), kWhite);
    EXPECT_EQ(sf.pixel(50, 98), kWhite);
    EXPECT_EQ(sf.pixel(50, 99), kBorder);
    EXPECT_EQ(sf.pixel(50, 100), kBorder);
    EXPECT_EQ(sf.pixel(50, 101), kWhite);
}

TEST(PatternTiling, FillsStillSpreadThroughCopiedRowsAfterManyFills) {
    // Rows copied after a fill carry that fill's private marks; once the marks come round
    // again, a fill in the copies must still spread through pixels that have its colour.
    Surface sf(64, 40);
    sf.box(0, 0, 63, 9, kBorder);
    sf.setFillColor(255);
    sf.floodFill(5, 5, kBorder);
    sf.copyRows(30, 0, 10);
    sf.box(0, 10, 63, 19, kBorder);
    for (int i = 0; i < 254; ++i) { // other fills, away from the copied rows
        sf.setFillColor(i % 2 ? 255 : 65280);
        sf.floodFill(5, 15, kBorder);
    }
    for (int y = 31; y < 39; ++y) sf.setPixel(20, y, kWhite);
    sf.setFillColor(255);
    sf.floodFill(3, 35, kBorder);
    EXPECT_EQ(sf.pixel(20, 35), 255);
}
