#include "engine/choosing.hpp"
#include "engine/shades.hpp"
#include "surface/surface.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

using namespace vx;

namespace {

int32_t rgb(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}

std::set<int32_t> basicColours() {
    std::set<int32_t> s;
    for (int i = 1; i <= 14; ++i)
        if (i != 7) s.insert(qbColor(i));
    return s;
}

ColourSettings mode(double tcolor, std::vector<int32_t> scale = {}) {
    ColourSettings cs;
    cs.tcolor = tcolor;
    cs.scale = std::move(scale);
    return cs;
}

} // namespace

TEST(FirstPassDraw, BasicModeNeverUsesGreyAndGivesThirteenColoursPerRowBeforeARepeat) {
    const auto allowed = basicColours();
    const ColourSettings basic = mode(0);
    for (uint64_t seed = 1; seed <= 200; ++seed) {
        Random rng(seed);
        ColourChooser ch(basic, rng);
        ch.startRow();
        std::vector<int32_t> row;
        for (int i = 0; i < 13; ++i) row.push_back(ch.firstPass());
        for (int32_t c : row) EXPECT_TRUE(allowed.count(c)) << c;
        EXPECT_EQ(std::set<int32_t>(row.begin(), row.end()).size(), 13u) << seed;
        EXPECT_EQ(ch.recentCount(), 13);
        // The fourteenth starts a new run of thirteen.
        EXPECT_TRUE(allowed.count(ch.firstPass()));
        EXPECT_EQ(ch.recentCount(), 1);
        EXPECT_EQ(qbColor(ch.lastpick()), ch.slot(1));
    }
}

TEST(FirstPassDraw, ANewRowForgetsTheRecentColours) {
    const ColourSettings basic = mode(0);
    Random rng(5);
    ColourChooser ch(basic, rng);
    ch.startRow();
    for (int i = 0; i < 5; ++i) ch.firstPass();
    ch.startRow();
    EXPECT_EQ(ch.recentCount(), 0);
    ch.firstPass();
    EXPECT_EQ(ch.recentCount(), 1);
}

TEST(FirstPassDraw, TrueColourGivesNeitherBorderNorWhiteNorGreyAndKeepsTheDrawAsLastpick) {
    const ColourSettings truec = mode(1);
    Random rng(9);
    ColourChooser ch(truec, rng);
    std::set<int32_t> seen;
    for (int i = 0; i < 2000; ++i) {
        if (i % 50 == 0) ch.startRow();
        const int32_t c = ch.firstPass();
        EXPECT_GE(c, 2);
        EXPECT_LT(c, kWhite);
        EXPECT_NE(c, qbColor(7));
        EXPECT_EQ(ch.lastpick(), c);
        seen.insert(c);
    }
    EXPECT_GT(seen.size(), 1900u);
}

TEST(FirstPassDraw, LastpickCarriesOverAndARepeatOfItIsRefused) {
    // A scale of two colours alternates, because each draw refuses the one before.
    ColourSettings scale = mode(2, {rgb(200, 0, 0), rgb(0, 0, 200)});
    Random rng(3);
    ColourChooser ch(scale, rng);
    int32_t before = ch.firstPass();
    for (int i = 0; i < 50; ++i) {
        const int32_t c = ch.firstPass();
        EXPECT_NE(c, before);
        before = c;
    }
    // The next drawing is given the last draw and refuses it.
    scale.lastpick = ch.lastpick();
    ColourChooser next(scale, rng);
    EXPECT_NE(next.firstPass(), before);
}

TEST(FirstPassDraw, OneColourScaleEndsAndKeepsGivingItsColour) {
    const ColourSettings scale = mode(2, {rgb(0, 128, 255)});
    Random rng(4);
    ColourChooser ch(scale, rng);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(ch.firstPass(), rgb(0, 128, 255));
}

TEST(FirstPassDraw, ScaleWithoutUsableColoursOrEmptyDrawsLikeTrueColour) {
    auto draws = [](const ColourSettings& cs) {
        Random rng(11);
        ColourChooser ch(cs, rng);
        std::vector<int32_t> v;
        for (int i = 0; i < 40; ++i) v.push_back(ch.firstPass());
        return v;
    };
    const ColourSettings truec = mode(1);
    const ColourSettings empty = mode(2);
    const ColourSettings unusable = mode(2, {kBorder, kWhite, qbColor(7)});
    EXPECT_EQ(colourSource(empty), ColourSource::True);
    EXPECT_EQ(colourSource(unusable), ColourSource::True);
    EXPECT_EQ(draws(empty), draws(truec));
    EXPECT_EQ(draws(unusable), draws(truec));
}

TEST(FirstPassDraw, ScaleOfUsableAndUnusableColoursOnlyGivesTheUsableOnes) {
    const ColourSettings scale = mode(2, {kBorder, rgb(1, 2, 3), kWhite, rgb(4, 5, 6)});
    Random rng(8);
    ColourChooser ch(scale, rng);
    for (int i = 0; i < 100; ++i) {
        if (i % 7 == 0) ch.startRow();
        const int32_t c = ch.firstPass();
        EXPECT_TRUE(c == rgb(1, 2, 3) || c == rgb(4, 5, 6)) << c;
    }
}

TEST(FirstPassDraw, AnUnknownColourSwitchDrawsTrueColours) {
    // Any tcolor other than 0 and 2 draws true colours; the odd value must not hang either.
    const ColourSettings odd = mode(7);
    Random rng(2);
    ColourChooser ch(odd, rng);
    const int32_t c = ch.firstPass();
    EXPECT_NE(c, kWhite);
    EXPECT_EQ(colourSource(odd), ColourSource::True);
}

TEST(EightSidedRule, BasicModeSetsFlagsAndNeverGivesGrey) {
    const ColourSettings basic = mode(0);
    Random rng(6);
    ColourChooser ch(basic, rng);
    const auto allowed = basicColours();
    std::set<int32_t> got;
    for (int i = 0; i < 13; ++i) {
        const int32_t c = ch.eightSided();
        EXPECT_TRUE(allowed.count(c)) << c;
        got.insert(c);
    }
    // Thirteen draws under the flags give thirteen different colours.
    EXPECT_EQ(got.size(), 13u);
    EXPECT_EQ(ch.lastpick(), 0);
    EXPECT_EQ(ch.recentCount(), 0);
}

TEST(EightSidedRule, ExhaustedFlagsAreClearedInsteadOfRefusingForever) {
    const ColourSettings basic = mode(0);
    Random rng(7);
    ColourChooser ch(basic, rng);
    for (int i = 1; i <= 14; ++i) ch.slot(i) = 1;
    const int32_t c = ch.eightSided();
    EXPECT_TRUE(basicColours().count(c)) << c;
    int flagged = 0;
    for (int i = 1; i <= 14; ++i) flagged += ch.slot(i) == 1;
    EXPECT_EQ(flagged, 2); // grey's flag and the new draw's
}

TEST(EightSidedRule, ARowColourInAFlagSlotLeavesThatNumberFree) {
    // The first pass writes its row colours into the same slots; such a slot is no flag.
    const ColourSettings basic = mode(0);
    Random rng(1);
    ColourChooser ch(basic, rng);
    for (int i = 1; i <= 14; ++i) ch.slot(i) = 1;
    ch.slot(2) = qbColor(12);
    EXPECT_EQ(ch.eightSided(), qbColor(2));
    for (int i = 1; i <= 14; ++i) EXPECT_EQ(ch.slot(i), 1) << i;
}

TEST(EightSidedRule, ImportedScaleDrawsItsOwnColoursAndEnds) {
    const ColourSettings scale = mode(2, {rgb(12, 34, 56)});
    Random rng(3);
    ColourChooser ch(scale, rng);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(ch.eightSided(), rgb(12, 34, 56));
}

TEST(EightSidedRule, TrueColourNeverGivesTheBorderColour) {
    const ColourSettings truec = mode(1);
    Random rng(12);
    ColourChooser ch(truec, rng);
    for (int i = 0; i < 1000; ++i) EXPECT_NE(ch.eightSided(), kBorder);
}

TEST(Census, CountsScanPointsPerColourAndKeepsTheLastPoint) {
    Census census;
    census.count(rgb(9, 9, 9), 10, 20.4);
    census.count(rgb(9, 9, 9), 11, 20.6);
    census.count(kBorder, 12, 20);
    census.count(0, 13, 20);
    census.count(kWhite, 14, 20);
    census.count(rgb(5, 5, 5), 15, 22);
    census.count(rgb(9, 9, 9), 16, 22.5);
    ASSERT_EQ(census.size(), 2);
    const CensusEntry& first = census.entries[0];
    EXPECT_EQ(first.colour, rgb(9, 9, 9));
    EXPECT_EQ(first.count, 3);
    EXPECT_EQ(first.x, 16);
    EXPECT_EQ(first.y, 22); // y held as an integer, halves to even
    EXPECT_EQ(census.entries[1].colour, rgb(5, 5, 5));
    EXPECT_EQ(census.entries[1].count, 1);
}

TEST(Census, StopsAddingColoursAfterAThousand) {
    Census census;
    for (int i = 0; i < 1500; ++i) census.count(100 + i, i, i);
    EXPECT_EQ(census.size(), kCensusEntries);
    EXPECT_EQ(census.entries[999].colour, 100 + 999);
    EXPECT_EQ(census.entries[999].x, 999);
    // Known colours are still counted.
    census.count(100, 5, 6);
    EXPECT_EQ(census.entries[0].count, 2);
    EXPECT_EQ(census.entries[0].x, 5);
}

namespace {

struct RecolouringPass : ::testing::Test {
    Census census;
    ColourSettings cs;
    Random rng{1};
    // The census entry k (from 1) of the given colour and count, at (100 + k, 200 + k).
    void entry(int k, int32_t colour, int32_t count) {
        census.entries.resize(std::max<size_t>(census.entries.size(), static_cast<size_t>(k)));
        census.entries[static_cast<size_t>(k - 1)] = {colour, count, 100.0 + k, 200 + k};
    }
    void list(std::vector<int32_t> l) { cs.list = std::move(l); }
    std::vector<Refill> run() {
        Census c = census;
        Recolouring pass(c, cs.list, rng);
        std::vector<Refill> out;
        Refill r;
        while (pass.next(r)) out.push_back(r);
        return out;
    }
};

} // namespace

TEST_F(RecolouringPass, LargestAreaFirstAndTiesToTheColourMetFirst) {
    entry(1, 11, 5);
    entry(2, 12, 9);
    entry(3, 13, 9);
    entry(4, 14, 2);
    list({rgb(255, 0, 0), kListBlack, rgb(0, 0, 255)});
    const auto r = run();
    ASSERT_EQ(r.size(), 3u); // the list ends at its empty fourth slot
    EXPECT_EQ(r[0].colour, rgb(255, 0, 0));
    EXPECT_EQ(r[0].x, 102);
    EXPECT_EQ(r[0].y, 202);
    EXPECT_EQ(r[1].colour, kListBlack);
    EXPECT_EQ(r[1].x, 103);
    EXPECT_EQ(r[2].colour, rgb(0, 0, 255));
    EXPECT_EQ(r[2].x, 101);
}

TEST_F(RecolouringPass, EndsWhenTheCensusIsUsedUp) {
    entry(1, 11, 5);
    for (int j = 1; j <= 10; ++j) cs.list.push_back(rgb(j, 0, 0));
    EXPECT_EQ(run().size(), 1u);
}

TEST_F(RecolouringPass, EmptyListOrListSwitchOffGivesNothing) {
    entry(1, 11, 5);
    EXPECT_FALSE(recolouringOn(cs));
    EXPECT_TRUE(run().empty());
    list({rgb(1, 2, 3)});
    EXPECT_TRUE(recolouringOn(cs));
    cs.tcolor2 = 0;
    EXPECT_FALSE(recolouringOn(cs));
}

TEST_F(RecolouringPass, ShadeCodeGivesAFreshShadeOfItsTable) {
    std::set<int32_t> greens(kGreenShades.begin() + 1, kGreenShades.begin() + 21);
    std::set<int32_t> seen;
    for (uint64_t seed = 1; seed <= 60; ++seed) {
        rng.seed(seed);
        entry(1, 11, 5);
        entry(2, 12, 3);
        list({-3, -7});
        const auto r = run();
        ASSERT_EQ(r.size(), 2u);
        EXPECT_TRUE(greens.count(r[0].colour)) << r[0].colour;
        EXPECT_TRUE(std::count(kGreyShades.begin() + 1, kGreyShades.begin() + 21, r[1].colour));
        seen.insert(r[0].colour);
    }
    EXPECT_GT(seen.size(), 10u);
}

TEST_F(RecolouringPass, UnknownCodeLeavesItsAreaAndGoesOn) {
    entry(1, 11, 5);
    entry(2, 12, 3);
    list({-9, rgb(7, 7, 7)});
    const auto r = run();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].colour, rgb(7, 7, 7));
    EXPECT_EQ(r[0].x, 102);
}

TEST(ShadeTables, HoldTheTabulatedShadesInSlotsOneToTwenty) {
    EXPECT_EQ(kBlueShades[1], rgb(187, 187, 255));
    EXPECT_EQ(kBlueShades[12], rgb(0, 0, 255));
    EXPECT_EQ(kBlueShades[20], rgb(0, 0, 119));
    EXPECT_EQ(kRedShades[1], rgb(255, 187, 187));
    EXPECT_EQ(kRedShades[13], rgb(238, 0, 0));
    EXPECT_EQ(kPurpleShades[11], rgb(255, 17, 255));
    EXPECT_EQ(kPurpleShades[19], rgb(136, 0, 136));
    EXPECT_EQ(kYellowShades[6], rgb(255, 255, 102));
    EXPECT_EQ(kYellowShades[14], rgb(221, 221, 0));
    EXPECT_EQ(kBrownShades[1], rgb(255, 230, 204));
    EXPECT_EQ(kBrownShades[9], rgb(255, 162, 68));
    EXPECT_EQ(kBrownShades[13], rgb(255, 128, 0));
    EXPECT_EQ(kBrownShades[20], rgb(136, 68, 0));
    EXPECT_EQ(kGreyShades[1], rgb(221, 221, 221));
    EXPECT_EQ(kGreyShades[12], rgb(127, 127, 127));
    EXPECT_EQ(kGreyShades[20], rgb(59, 59, 59));
    for (int code = -7; code <= -1; ++code) EXPECT_EQ((*shadeTable(code))[0], 0) << code;
    EXPECT_EQ(shadeTable(0), nullptr);
    EXPECT_EQ(shadeTable(-8), nullptr);
}

TEST(ShadeTables, GreenSkipsFromOneThirtySixStraightToOneHundredAndTwo) {
    const int expected[21] = {0,  204, 187, 170, 153, 136, 102, 85, 68, 51, 34,
                              17, 0,   0,   0,   0,   0,   0,   0,  0,  0};
    for (int i = 1; i <= 12; ++i) EXPECT_EQ(kGreenShades[i], rgb(expected[i], 255, expected[i]));
    EXPECT_EQ(kGreenShades[5], rgb(136, 255, 136));
    EXPECT_EQ(kGreenShades[6], rgb(102, 255, 102));
    for (int i = 13; i <= 20; ++i) EXPECT_EQ(kGreenShades[i], rgb(0, 238 - 17 * (i - 13), 0));
    // Blue, for comparison, has the 119 step.
    EXPECT_EQ(kBlueShades[5], rgb(119, 119, 255));
    EXPECT_EQ(kBlueShades[6], rgb(102, 102, 255));
}
