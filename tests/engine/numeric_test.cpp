#include "surface/numeric.hpp"

#include <gtest/gtest.h>

#include <vector>

using namespace vx;

TEST(NumericRules, FloorGoesDownForNegatives) {
    EXPECT_EQ(vfloor(-0.5), -1);
    EXPECT_EQ(vfloor(-2.5), -3);
    EXPECT_EQ(vfloor(2.99), 2);
}

TEST(NumericRules, IntegerConversionRoundsHalvesToEven) {
    EXPECT_EQ(toInt32(0.5), 0);
    EXPECT_EQ(toInt32(1.5), 2);
    EXPECT_EQ(toInt32(2.5), 2);
    EXPECT_EQ(toInt32(3.5), 4);
    EXPECT_EQ(toInt32(-2.5), -2);
    EXPECT_EQ(toInt16(1e9), 32767);
    EXPECT_EQ(toInt32(std::nan("")), 0);
}

TEST(NumericRules, SingleConversionRoundsToNearestSingle) {
    EXPECT_EQ(toSingle(0.1), static_cast<double>(0.1f));
    EXPECT_NE(toSingle(0.1), 0.1);
}

TEST(NumericRules, PixelOffsetIsMirrorSymmetricAndNeverSkipsAPixel) {
    for (double d = -40; d <= 40; d += 0.0625) {
        EXPECT_EQ(pixelOffset(-d), -pixelOffset(d)) << d;
        EXPECT_LE(std::abs(pixelOffset(d + 1) - pixelOffset(d)), 1) << d;
        EXPECT_GE(pixelOffset(d + 1) - pixelOffset(d), 0) << d;
    }
    EXPECT_EQ(pixelOffset(0.49), 0);
    EXPECT_EQ(pixelOffset(0.51), 1);
    EXPECT_EQ(pixelOffset(-1.7), -2);
}

TEST(FieldNumber, ReadsTheLeadingNumberIgnoringBlanks) {
    EXPECT_EQ(fieldNumber("12abc"), 12);
    EXPECT_EQ(fieldNumber(""), 0);
    EXPECT_EQ(fieldNumber("abc"), 0);
    EXPECT_EQ(fieldNumber(" 2 0 0 "), 200);
    EXPECT_EQ(fieldNumber("4x"), 4);
    EXPECT_EQ(fieldNumber("-7.5e1z"), -75);
    EXPECT_EQ(fieldNumber("1e"), 1);
    EXPECT_EQ(fieldNumber("."), 0);
    EXPECT_EQ(fieldNumber("-"), 0);
    EXPECT_GT(fieldNumber("99999999999999999999999999999999999999e999"), 1e299);
}

TEST(FieldNumber, PlainDecimalTextOfValues) {
    EXPECT_EQ(numberText(200), "200");
    EXPECT_EQ(numberText(12.5), "12.5");
    EXPECT_EQ(numberText(-3), "-3");
    EXPECT_EQ(numberText(-0.0), "0");
}

TEST(RandomSource, SameSeedSameSequenceAndUnitInterval) {
    Random a(42), b(42), c(43);
    bool differs = false;
    for (int i = 0; i < 10000; ++i) {
        const double x = a.next();
        EXPECT_EQ(x, b.next());
        EXPECT_GE(x, 0.0);
        EXPECT_LT(x, 1.0);
        differs |= x != c.next();
    }
    EXPECT_TRUE(differs);
    Random r(7);
    int seen[3] = {0, 0, 0};
    for (int i = 0; i < 3000; ++i) seen[r.upTo(2)]++;
    EXPECT_EQ(seen[0], 0);
    EXPECT_GT(seen[1], 1300);
    EXPECT_GT(seen[2], 1300);
}

TEST(RandomSource, ARestoredStateReplaysTheSameNumbers) {
    Random r(99);
    for (int i = 0; i < 5; ++i) r.next();
    const RandomState mark = r.state();
    std::vector<double> first;
    for (int i = 0; i < 20; ++i) first.push_back(r.next());
    EXPECT_NE(r.state(), mark);
    Random other(1);
    other.restore(mark);
    for (double x : first) EXPECT_EQ(other.next(), x);
}
