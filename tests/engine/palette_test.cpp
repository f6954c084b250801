// Palette files: the exact text written, and what reading any text makes of it.
#include "engine/palette.hpp"
#include "model/drawing.hpp"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vx;

namespace {

std::string lines(std::initializer_list<long> slots, long count) {
    std::string t;
    for (long v : slots) t += (v < 0 ? std::to_string(v) : " " + std::to_string(v)) + " \r\n";
    for (size_t i = slots.size(); i < 64; ++i) t += " 0 \r\n";
    return t + " " + std::to_string(count) + " \r\n";
}

} // namespace

TEST(PaletteFile, RedGreenBlueIsWrittenAsSixtyFivePrintStyleLines) {
    State st;
    st.colorlist[1] = 255;
    st.colorlist[2] = 65280;
    st.colorlist[3] = 16711680;
    st.colorlist[4] = -3;
    st.colorlist[65] = 77; // beyond the file
    st.numcolors = 5;
    const std::string text = paletteText(st);
    EXPECT_EQ(text, lines({255, 65280, 16711680, -3}, 5));
    EXPECT_EQ(text.substr(0, 16), " 255 \r\n 65280 \r\n");
    EXPECT_NE(text.find("\r\n-3 \r\n"), std::string::npos);

    // And it reads back as it was.
    const PaletteList p = parsePalette(text);
    EXPECT_EQ(p.damaged, 0);
    EXPECT_EQ(p.slots[0], 255);
    EXPECT_EQ(p.slots[3], -3);
    EXPECT_EQ(p.slots[4], 0);
    EXPECT_EQ(p.numcolors, 5);
}

// Each of the 65 values counts once as damaged, however many ways it is wrong.
TEST(PaletteFile, AnyTextGivesAListWithoutGapsAndACountThatGoesWithIt) {
    struct Case {
        std::string text;
        std::vector<int32_t> list;
        double numcolors;
        int damaged;
    };
    std::string binary(300, '\xff');
    binary[7] = '\0';
    std::string twiceWrong;
    for (int i = 0; i < 65; ++i) twiceWrong += " 2.5x \r\n"; // not clean, and no colour
    const Case cases[] = {
        {lines({}, 1), {}, 1, 0},
        {lines({0, 255}, 2), {255}, 2, 1}, // slot 1 empty: the colour after it closes up
        {"12,oops, 16777216 ,1.5\n-8 -7\n", {12, -7}, 3, 64},
        {"", {}, 1, 65},
        {binary, {}, 1, 65},
        {lines({255, 65280}, 40), {255, 65280}, 3, 1},
        {std::string(2 << 20, ' ') + lines({255}, 2), {}, 1, 65},
        {twiceWrong, {}, 1, 65},
    };
    for (const Case& c : cases) {
        const PaletteList p = parsePalette(c.text);
        const std::string what = c.text.substr(0, 24);
        for (size_t k = 0; k < 64; ++k)
            EXPECT_EQ(p.slots[k], k < c.list.size() ? c.list[k] : 0) << what << " slot " << k + 1;
        EXPECT_EQ(p.numcolors, c.numcolors) << what;
        EXPECT_EQ(p.damaged, c.damaged) << what;
    }
    // Sixty-four colours fill every slot shown.
    std::string full;
    for (int i = 1; i <= 64; ++i) full += " " + std::to_string(i * 1000) + " \r\n";
    const PaletteList p = parsePalette(full + " 64 \r\n");
    EXPECT_EQ(p.slots[63], 64000);
    EXPECT_EQ(p.numcolors, 64);
    EXPECT_EQ(p.damaged, 0);
    // Loaded over a drawing code's 5000 colours, it is the whole list.
    State st;
    std::fill(st.colorlist.begin() + 1, st.colorlist.begin() + 5001, 255);
    applyPalette(st, p);
    EXPECT_EQ(colourSettings(st).list.size(), 64u);
}
