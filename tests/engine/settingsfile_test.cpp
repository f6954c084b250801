// How the settings reader splits a text into lines and numbers.
#include "engine/settingsfile.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vx;

TEST(SettingsText, LinesAndTokensAsTheReaderSplitsThem) {
    std::string longFile = "0\n";
    for (int i = 0; i < 64; ++i) longFile += "9\n";
    longFile += "9999\njunk\nmore junk\n";
    const std::vector<double> nines(64, 9);

    struct Case {
        std::string text;
        std::vector<double> head;    // the values of line 1 that are there
        std::vector<double> colours; // the colour lines that are there
        int unreadable;
    };
    const Case cases[] = {
        {"", {}, {}, 0},
        {"\r\n", {}, {}, 0},
        {"1,2\t3", {1, 2, 3}, {}, 0},     // no line end; all three separators
        {"1\n2", {1}, {2}, 0},            // a last line without its end
        {"1\n\r5\r\n", {1}, {0, 5}, 1},   // LF CR ends two lines; empty is 0
        {"1\r\r\n7 8\n", {1}, {0, 7}, 2}, // CR then CR LF; a second token
        {"1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16",
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
         {},
         0},
        {"x 2e ,, 3", {0, 2, 3}, {}, 2}, // leading numbers of damaged tokens
        {longFile, {0}, nines, 0},       // nothing past slot 64 is read
    };
    // Each value that is there, and none past them.
    const auto expectValues = [](const auto& got, const std::vector<double>& want,
                                 const std::string& what) {
        for (size_t i = 0; i < got.size(); ++i) {
            ASSERT_EQ(got[i].has_value(), i < want.size()) << what << " " << i;
            if (i < want.size()) {
                EXPECT_EQ(*got[i], want[i]) << what << " " << i;
            }
        }
    };
    for (const Case& c : cases) {
        const SettingsValues v = parseSettings(c.text);
        expectValues(v.head, c.head, c.text + ": line 1, value");
        expectValues(v.colours, c.colours, c.text + ": slot");
        EXPECT_EQ(static_cast<int>(v.unreadable.count()), c.unreadable) << c.text;
    }
}
