#include "colour/choosing.hpp"
#include "colour/colourdata.hpp"
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

void resetFlags(State& st) {
    for (int i = 1; i <= 15; ++i) st.recentcolors[i] = 0;
    st.recentcolors[0] = st.recentcolors[7] = st.recentcolors[15] = 1;
}

} // namespace

TEST(FirstPassDraw, BasicModeNeverUsesGreyAndGivesThirteenColoursPerRowBeforeARepeat) {
    const auto allowed = basicColours();
    for (uint64_t seed = 1; seed <= 200; ++seed) {
        State st;
        Random rng(seed);
        ColourChooser ch(st, rng);
        ch.startRow();
        std::vector<int32_t> row;
        for (int i = 0; i < 13; ++i) row.push_back(ch.firstPass());
        for (int32_t c : row) EXPECT_TRUE(allowed.count(c)) << c;
        EXPECT_EQ(std::set<int32_t>(row.begin(), row.end()).size(), 13u) << seed;
        EXPECT_EQ(st.recentCount, 13);
        // The fourteenth starts a new run of thirteen.
        EXPECT_TRUE(allowed.count(ch.firstPass()));
        EXPECT_EQ(st.recentCount, 1);
        EXPECT_EQ(qbColor(st.lastpick), st.recentcolors[1]);
    }
}

TEST(FirstPassDraw, ANewRowForgetsTheRecentColours) {
    State st;
    Random rng(5);
    ColourChooser ch(st, rng);
    ch.startRow();
    for (int i = 0; i < 5; ++i) ch.firstPass();
    ch.startRow();
    EXPECT_EQ(st.recentCount, 0);
    ch.firstPass();
    EXPECT_EQ(st.recentCount, 1);
}

TEST(FirstPassDraw, TrueColourGivesNeitherBorderNorWhiteNorGreyAndKeepsTheDrawAsLastpick) {
    State st;
    st.tcolor = 1;
    Random rng(9);
    ColourChooser ch(st, rng);
    std::set<int32_t> seen;
    for (int i = 0; i < 2000; ++i) {
        if (i % 50 == 0) ch.startRow();
        const int32_t c = ch.firstPass();
        EXPECT_GE(c, 2);
        EXPECT_LT(c, kWhite);
        EXPECT_NE(c, qbColor(7));
        EXPECT_EQ(st.lastpick, c);
        seen.insert(c);
    }
    EXPECT_GT(seen.size(), 1900u);
}

TEST(FirstPassDraw, LastpickCarriesOverAndARepeatOfItIsRefused) {
    // A scale of two colours alternates, because each draw refuses the one before.
    State st;
    st.tcolor = 2;
    st.cgf = 2;
    st.importcolors[1] = rgb(200, 0, 0);
    st.importcolors[2] = rgb(0, 0, 200);
    Random rng(3);
    ColourChooser ch(st, rng);
    int32_t before = ch.firstPass();
    for (int i = 0; i < 50; ++i) {
        const int32_t c = ch.firstPass();
        EXPECT_NE(c, before);
        before = c;
    }
    // A new chooser (the next drawing) still knows the last draw.
    ColourChooser next(st, rng);
    EXPECT_NE(next.firstPass(), before);
}

TEST(FirstPassDraw, OneColourScaleEndsAndKeepsGivingItsColour) {
    State st;
    st.tcolor = 2;
    st.cgf = 1;
    st.importcolors[1] = rgb(0, 128, 255);
    Random rng(4);
    ColourChooser ch(st, rng);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(ch.firstPass(), rgb(0, 128, 255));
}

TEST(FirstPassDraw, ScaleWithoutUsableColoursOrEmptyDrawsLikeTrueColour) {
    auto draws = [](State st) {
        Random rng(11);
        ColourChooser ch(st, rng);
        std::vector<int32_t> v;
        for (int i = 0; i < 40; ++i) v.push_back(ch.firstPass());
        return v;
    };
    State truec;
    truec.tcolor = 1;
    State empty = truec;
    empty.tcolor = 2;
    State unusable = empty;
    unusable.cgf = 3;
    unusable.importcolors[1] = kBorder;
    unusable.importcolors[2] = kWhite;
    unusable.importcolors[3] = qbColor(7);
    EXPECT_EQ(colourSource(empty), ColourSource::True);
    EXPECT_EQ(colourSource(unusable), ColourSource::True);
    EXPECT_EQ(draws(empty), draws(truec));
    EXPECT_EQ(draws(unusable), draws(truec));
}

TEST(FirstPassDraw, ScaleOfUsableAndUnusableColoursOnlyGivesTheUsableOnes) {
    State st;
    st.tcolor = 2;
    st.cgf = 4;
    st.importcolors[1] = kBorder;
    st.importcolors[2] = rgb(1, 2, 3);
    st.importcolors[3] = kWhite;
    st.importcolors[4] = rgb(4, 5, 6);
    Random rng(8);
    ColourChooser ch(st, rng);
    for (int i = 0; i < 100; ++i) {
        if (i % 7 == 0) ch.startRow();
        const int32_t c = ch.firstPass();
        EXPECT_TRUE(c == rgb(1, 2, 3) || c == rgb(4, 5, 6)) << c;
    }
}

TEST(FirstPassDraw, AnUnknownColourSwitchDrawsTrueColours) {
    // Any tcolor other than 0 and 2 draws true colours; the odd value must not hang either.
    State st;
    st.tcolor = 7;
    Random rng(2);
    ColourChooser ch(st, rng);
    const int32_t c = ch.firstPass();
    EXPECT_NE(c, kWhite);
    EXPECT_EQ(colourSource(st), ColourSource::True);
}

TEST(EightSidedRule, BasicModeSetsFlagsAndNeverGivesGrey) {
    State st;
    resetFlags(st);
    Random rng(6);
    ColourChooser ch(st, rng);
    const auto allowed = basicColours();
    std::set<int32_t> got;
    for (int i = 0; i < 13; ++i) {
        const int32_t c = ch.eightSided();
        EXPECT_TRUE(allowed.count(c)) << c;
        got.insert(c);
    }
    // Thirteen draws under the flags give thirteen different colours.
    EXPECT_EQ(got.size(), 13u);
    EXPECT_EQ(st.lastpick, 0);
    EXPECT_EQ(st.recentCount, 0);
}

TEST(EightSidedRule, ExhaustedFlagsAreClearedInsteadOfRefusingForever) {
    State st;
    resetFlags(st);
    for (int i = 1; i <= 14; ++i) st.recentcolors[i] = 1;
    Random rng(7);
    ColourChooser ch(st, rng);
    const int32_t c = ch.eightSided();
    EXPECT_TRUE(basicColours().count(c)) << c;
    int flagged = 0;
    for (int i = 1; i <= 14; ++i) flagged += st.recentcolors[i] == 1;
    EXPECT_EQ(flagged, 2); // grey's flag and the new draw's
}

TEST(EightSidedRule, ARowColourInAFlagSlotLeavesThatNumberFree) {
    // The first pass writes its row colours into the same slots; such a slot is no flag.
    State st;
    resetFlags(st);
    for (int i = 1; i <= 14; ++i) st.recentcolors[i] = 1;
    st.recentcolors[2] = qbColor(12);
    Random rng(1);
    ColourChooser ch(st, rng);
    EXPECT_EQ(ch.eightSided(), qbColor(2));
    for (int i = 1; i <= 14; ++i) EXPECT_EQ(st.recentcolors[i], 1) << i;
}

TEST(EightSidedRule, ImportedScaleDrawsItsOwnColoursAndEnds) {
    State st;
    resetFlags(st);
    st.tcolor = 2;
    st.cgf = 1;
    st.importcolors[1] = rgb(12, 34, 56);
    Random rng(3);
    ColourChooser ch(st, rng);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(ch.eightSided(), rgb(12, 34, 56));
}

TEST(EightSidedRule, TrueColourNeverGivesTheBorderColour) {
    State st;
    st.tcolor = 1;
    Random rng(12);
    ColourChooser ch(st, rng);
    for (int i = 0; i < 1000; ++i) EXPECT_NE(ch.eightSided(), kBorder);
}

TEST(Census, CountsScanPointsPerColourAndKeepsTheLastPoint) {
    State st;
    Random rng(1);
    ColourChooser ch(st, rng);
    ch.startCensus();
    ch.census(rgb(9, 9, 9), 10, 20.4);
    ch.census(rgb(9, 9, 9), 11, 20.6);
    ch.census(kBorder, 12, 20);
    ch.census(0, 13, 20);
    ch.census(kWhite, 14, 20);
    ch.census(rgb(5, 5, 5), 15, 22);
    ch.census(rgb(9, 9, 9), 16, 22.5);
    ASSERT_EQ(st.censusSize, 2);
    EXPECT_EQ(st.regioncolors[1], rgb(9, 9, 9));
    EXPECT_EQ(st.regioncounts[1], 3);
    EXPECT_EQ(st.regionx[1], 16);
    EXPECT_EQ(st.regiony[1], 22); // y held as an integer, halves to even
    EXPECT_EQ(st.regioncolors[2], rgb(5, 5, 5));
    EXPECT_EQ(st.regioncounts[2], 1);
    EXPECT_EQ(st.regioncounts[0], 0);
    ch.startCensus();
    EXPECT_EQ(st.censusSize, 0);
}

TEST(Census, StopsAddingColoursAfterAThousand) {
    State st;
    Random rng(1);
    ColourChooser ch(st, rng);
    ch.startCensus();
    for (int i = 0; i < 1500; ++i) ch.census(100 + i, i, i);
    EXPECT_EQ(st.censusSize, kCensusEntries);
    EXPECT_EQ(st.regioncolors[1000], 100 + 999);
    EXPECT_EQ(st.regionx[1000], 999);
    // Known colours are still counted.
    ch.census(100, 5, 6);
    EXPECT_EQ(st.regioncounts[1], 2);
    EXPECT_EQ(st.regionx[1], 5);
}

namespace {

struct Recolouring : ::testing::Test {
    State st;
    Random rng{1};
    void SetUp() override {
        fillShadeTables(st);
        st.tcolor = 1;
        st.tcolor2 = 1;
    }
    void entry(int k, int32_t colour, int32_t count) {
        st.regioncolors[k] = colour;
        st.regioncounts[k] = count;
        st.regionx[k] = 100 + k;
        st.regiony[k] = 200 + k;
        st.censusSize = std::max(st.censusSize, k);
    }
    std::vector<ColourChooser::Refill> run() {
        ColourChooser ch(st, rng);
        ch.startRecolouring();
        std::vector<ColourChooser::Refill> out;
        ColourChooser::Refill r;
        while (ch.nextRefill(r)) out.push_back(r);
        return out;
    }
};

} // namespace

TEST_F(Recolouring, LargestAreaFirstAndTiesToTheColourMetFirst) {
    entry(1, 11, 5);
    entry(2, 12, 9);
    entry(3, 13, 9);
    entry(4, 14, 2);
    st.colorlist[1] = rgb(255, 0, 0);
    st.colorlist[2] = kListBlack;
    st.colorlist[3] = rgb(0, 0, 255);
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

TEST_F(Recolouring, EndsWhenTheCensusIsUsedUp) {
    entry(1, 11, 5);
    for (int j = 1; j <= 10; ++j) st.colorlist[j] = rgb(j, 0, 0);
    EXPECT_EQ(run().size(), 1u);
}

TEST_F(Recolouring, EmptyListOrListSwitchOffGivesNothing) {
    entry(1, 11, 5);
    EXPECT_FALSE(recolouringOn(st));
    EXPECT_TRUE(run().empty());
    st.colorlist[1] = rgb(1, 2, 3);
    EXPECT_TRUE(recolouringOn(st));
    st.tcolor2 = 0;
    EXPECT_FALSE(recolouringOn(st));
}

TEST_F(Recolouring, ShadeCodeGivesAFreshShadeOfItsTable) {
    std::set<int32_t> greens(st.greenshades.begin() + 1, st.greenshades.begin() + 21);
    std::set<int32_t> seen;
    for (uint64_t seed = 1; seed <= 60; ++seed) {
        rng.seed(seed);
        entry(1, 11, 5);
        entry(2, 12, 3);
        st.colorlist[1] = -3;
        st.colorlist[2] = -7;
        const auto r = run();
        ASSERT_EQ(r.size(), 2u);
        EXPECT_TRUE(greens.count(r[0].colour)) << r[0].colour;
        EXPECT_TRUE(std::count(st.greyshades.begin() + 1, st.greyshades.begin() + 21, r[1].colour));
        seen.insert(r[0].colour);
    }
    EXPECT_GT(seen.size(), 10u);
}

TEST_F(Recolouring, UnknownCodeLeavesItsAreaAndGoesOn) {
    entry(1, 11, 5);
    entry(2, 12, 3);
    st.colorlist[1] = -9;
    st.colorlist[2] = rgb(7, 7, 7);
    const auto r = run();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].colour, rgb(7, 7, 7));
    EXPECT_EQ(r[0].x, 102);
}
