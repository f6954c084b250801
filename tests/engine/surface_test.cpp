#include "engine/fill.hpp"
#include "surface/surface.hpp"

#include <gtest/gtest.h>

using namespace vx;

namespace {
int count(const Surface& s, int32_t c) {
    int n = 0;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) n += s.pixel(x, y) == c;
    return n;
}
} // namespace

TEST(SurfaceLines, SegmentLeavesOutItsEndPixel) {
    Surface s(20, 20);
    s.segment(2, 3, 7, 3, kBorder);
    for (int x = 2; x < 7; ++x) EXPECT_EQ(s.pixel(x, 3), kBorder) << x;
    EXPECT_EQ(s.pixel(7, 3), kWhite);
    EXPECT_EQ(count(s, kBorder), 5);
}

TEST(SurfaceLines, PenMarkColoursExactlyOnePixel) {
    Surface s(20, 20);
    s.segment(5.3, 6.7, 6.3, 7.7, kBorder);
    EXPECT_EQ(count(s, kBorder), 1);
    EXPECT_EQ(s.pixel(5, 7), kBorder);
    // Even at a half, where rounding of start and end could disagree.
    Surface t(20, 20);
    t.segment(2.5, 2.5, 3.5, 3.5, kBorder);
    EXPECT_EQ(count(t, kBorder), 1);
}

TEST(SurfaceLines, DiagonalSegmentIsEightConnected) {
    Surface s(20, 20);
    s.segment(0, 0, 10, 5, kBorder);
    EXPECT_EQ(count(s, kBorder), 10);
    EXPECT_EQ(s.pixel(0, 0), kBorder);
    EXPECT_EQ(s.pixel(10, 5), kWhite);
}

TEST(SurfaceLines, SegmentsFarOffTheSurfaceAreClipped) {
    Surface s(10, 10);
    s.segment(-500, 5, 500, 5, kBorder);
    EXPECT_EQ(count(s, kBorder), 10);
    s.segment(-1e7, -1e7, -1e7 + 3, -1e7, kBorder);
    EXPECT_EQ(s.pixel(-1, -1), -1);
}

TEST(SurfaceBoxes, BoxOutlineIsClippedToTheSurface) {
    Surface s(50, 40);
    s.box(-10, -10, 1000, 1000, kBorder);
    EXPECT_EQ(count(s, kBorder), 0); // every edge lies outside
    s.box(-10, -10, 20, 30, kBorder);
    EXPECT_EQ(s.pixel(20, 0), kBorder);
    EXPECT_EQ(s.pixel(0, 30), kBorder);
    EXPECT_EQ(s.pixel(20, 30), kBorder);
    EXPECT_EQ(s.pixel(21, 30), kWhite);
    EXPECT_EQ(s.pixel(10, 10), kWhite);
}

TEST(SurfaceBoxes, FilledBoxIncludesItsOutlineAndStopsAt1000) {
    Surface s(1100, 20);
    s.fillBox(0, 0, 1000, 1000, kBorder);
    EXPECT_EQ(s.pixel(1000, 5), kBorder);
    EXPECT_EQ(s.pixel(1001, 5), kWhite);
    Surface t(10, 10);
    t.fillBox(7, 7, 2, 2, 255);
    EXPECT_EQ(count(t, 255), 36);
}

TEST(SurfaceBoxes, BlankingCoversWindowsLargerThan1000) {
    Surface s(1500, 1100);
    blankWindow(s, kBorder);
    EXPECT_EQ(count(s, kWhite), 0);
}

TEST(SurfaceReads, PointOutsideIsMinusOneAndRoundsHalfEven) {
    Surface s(10, 10);
    s.setPixel(2, 2, 255);
    EXPECT_EQ(s.point(2.5, 2.5), 255);
    EXPECT_EQ(s.point(1.5, 1.5), 255);
    EXPECT_EQ(s.point(-1, 3), -1);
    EXPECT_EQ(s.point(10, 3), -1);
}

TEST(SurfaceBackground, BackColourErasesAndClsShowsIt) {
    Surface s(10, 10);
    s.setPixel(1, 1, kBorder);
    s.setBackColor(255);
    EXPECT_EQ(count(s, 255), 100);
    s.setPixel(1, 1, kBorder);
    s.cls();
    EXPECT_EQ(count(s, 255), 100);
}

TEST(SurfaceResize, KeepsWhatWasDrawnWhereSizesOverlap) {
    Surface s(10, 10);
    s.setPixel(3, 4, kBorder);
    s.resize(20, 5);
    EXPECT_EQ(s.pixel(3, 4), kBorder);
    EXPECT_EQ(s.pixel(15, 2), kWhite);
}

TEST(FloodFill, FillsTheRegionInsideAFrameOnly) {
    Surface s(30, 30);
    s.box(5, 5, 20, 20, kBorder);
    s.setFillColor(255);
    EXPECT_NE(s.floodFill(10, 10, kBorder), 0);
    EXPECT_EQ(count(s, 255), 14 * 14);
    EXPECT_EQ(s.pixel(4, 4), kWhite);
    EXPECT_EQ(s.pixel(21, 10), kWhite);
}

TEST(FloodFill, SeedOnABorderPixelChangesNothing) {
    Surface s(30, 30);
    s.box(5, 5, 20, 20, kBorder);
    s.setFillColor(255);
    EXPECT_EQ(s.floodFill(5, 10, kBorder), 0);
    EXPECT_EQ(count(s, 255), 0);
    fillWithRetry(s, 5, 10); // ends after one pass
    EXPECT_EQ(count(s, 255), 0);
}

TEST(FloodFill, NeverCrossesADiagonalContact) {
    // Two regions whose borders touch only at a corner: a diagonal line splits the square.
    Surface s(12, 12);
    s.box(0, 0, 11, 11, kBorder);
    for (int i = 0; i < 12; ++i) s.setPixel(i, i, kBorder);
    s.setFillColor(255);
    s.floodFill(8, 2, kBorder);
    EXPECT_EQ(s.pixel(2, 8), kWhite);
    EXPECT_EQ(s.pixel(9, 2), 255);
    EXPECT_EQ(count(s, 255), 45); // the ten rows above the diagonal inside the frame
}

TEST(FloodFill, PixelsAlreadyOfTheFillColourDoNotStopIt) {
    // A wall of the fill colour across the region: a border fill spreads through it.
    Surface s(40, 20);
    s.box(0, 0, 39, 19, kBorder);
    for (int y = 1; y < 19; ++y) s.setPixel(20, y, 255);
    s.setPixel(30, 10, 255);
    s.setFillColor(255);
    s.floodFill(5, 5, kBorder);
    EXPECT_EQ(s.pixel(35, 5), 255);
    EXPECT_EQ(count(s, kWhite), 0);
    // And a region fully of the fill colour is filled again without leaking.
    s.floodFill(5, 5, kBorder);
    EXPECT_EQ(count(s, kBorder), 2 * 40 + 2 * 18);
}

TEST(FloodFill, FillColourMayEqualNeitherBorderNorWhiteAndKeepsWorkingAfterManyFills) {
    // Tags are recycled after a few hundred fills; later fills must still see old pixels.
    Surface s(64, 64);
    for (int k = 0; k < 700; ++k) {
        s.setFillColor(k % 2 ? 255 : 65280);
        s.floodFill(k % 64, (k * 7) % 64, kBorder);
        ASSERT_EQ(count(s, k % 2 ? 255 : 65280), 64 * 64) << k;
    }
}

TEST(FloodFill, RegionTouchingTheSurfaceEdgeStopsThere) {
    Surface s(30, 10);
    for (int y = 0; y < 10; ++y) s.setPixel(15, y, kBorder);
    s.setFillColor(255);
    s.floodFill(0, 0, kBorder);
    EXPECT_EQ(count(s, 255), 150);
}

TEST(FloodFill, SerpentineRegionIsFilledCompletely) {
    // A snake-shaped region makes the span fill turn back on itself at every wall.
    Surface s(41, 41);
    s.box(0, 0, 40, 40, kBorder);
    for (int y = 2; y < 40; y += 2) {
        const bool gapRight = (y / 2) % 2 == 1;
        s.segment(gapRight ? 1 : 3, y, gapRight ? 38 : 40, y, kBorder);
    }
    const int white = count(s, kWhite);
    s.setFillColor(255);
    s.floodFill(1, 1, kBorder);
    EXPECT_EQ(count(s, 255), white);
    EXPECT_EQ(count(s, kWhite), 0);
}

TEST(FillRetry, WhiteOrBlackFillColourEndsAfterTheBound) {
    Surface s(20, 20);
    s.box(2, 2, 10, 10, kBorder);
    s.setFillColor(kWhite);
    fillWithRetry(s, 5, 5); // would retry for ever unbounded
    s.setFillColor(0);
    fillWithRetry(s, 5, 5);
    EXPECT_EQ(s.pixel(5, 5), 0);
}

TEST(SurfacePaint, CopiesAndClipsRectangles) {
    Surface src(10, 10);
    src.fillBox(2, 2, 4, 4, 255);
    Surface dst(6, 6);
    dst.paint(src, 1, 1, 2, 2, 3, 3);
    EXPECT_EQ(dst.pixel(1, 1), 255);
    EXPECT_EQ(dst.pixel(3, 3), 255);
    EXPECT_EQ(dst.pixel(4, 4), kWhite);
    dst.paint(src, 4, 4, 0, 0, 10, 10); // clipped, no overrun
    dst.paint(src, -1, -1, 2, 2, 5, 5);
    EXPECT_EQ(dst.pixel(0, 0), 255); // source (3, 3)
}

TEST(FloodFill, ManyDistinctColoursThenARefillStillSpreadsThroughOldPixels) {
    // More colours than the fill keeps track of, then a region with a wall of its own colour.
    Surface s(100, 100);
    for (int k = 0; k < 5000; ++k) {
        s.setFillColor(1000 + k);
        s.floodFill(k % 100, (k * 13) % 100, kBorder);
    }
    s.box(0, 0, 99, 99, kBorder);
    for (int y = 1; y < 99; ++y) s.setPixel(50, y, 777);
    s.setFillColor(777);
    s.floodFill(10, 10, kBorder);
    EXPECT_EQ(s.pixel(80, 80), 777);
}
