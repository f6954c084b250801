// What the status line answers to a choice that draws nothing at once: the choice in the
// menu's own words, and when it shows.
#include "app/events.hpp"
#include "startup_support.hpp"

#include <gtest/gtest.h>

using namespace vx;

using StatusLine = vx::testing::AfterBegin;

TEST_F(StatusLine, EveryStyleSpeedAndColourChoiceSaysWhatItChoseAndWhenItShows) {
    const std::string next = " The next drawing uses it.";
    const std::string again = " (already chosen).";
    const std::pair<const char*, std::string> steps[] = {
        {"tcolor7", "Colour mode: True color (16000000 colors)." + next},
        {"tcolor7", "Colour mode: True color (16000000 colors)" + again},
        {"bcolor7", "Colour mode: Basic color (15 colors)." + next},
        {"ucolors", "Colour mode: User defined colors." + next +
                        " The colour list is empty, so drawings look as in True color "
                        "(16000000 colors) until colours are added in Edit colors."},
        {"tslow", "Animation speed: Slow. A single shape glides at this speed in Screen-Saver "
                  "mode."},
        {"tslow", "Animation speed: Slow" + again},
        {"csingle", "Pattern mode: Create single shape." + next},
        {"csingle", "Pattern mode: Create single shape" + again},
        {"Option1", "Shape style: Shapes Regular." + next},
        {"Option1", "Shape style: Shapes Regular" + again},
        {"Option2", "Shape style: Shapes Fancy." + next},
    };
    for (const auto& [item, said] : steps) {
        ASSERT_TRUE(programEvents().click(sh, item));
        EXPECT_EQ(platform.lastStatus, said) << item;
    }
    // With a list the user's colours show; with a shape gliding the speed shows at once.
    sh.st.colorlist[1] = 255;
    programEvents().click(sh, "tcolor7");
    programEvents().click(sh, "ucolors");
    EXPECT_EQ(platform.lastStatus, "Colour mode: User defined colors." + next);
    programEvents().click(sh, "ssaver");
    ASSERT_TRUE(sh.form.visible("Picture1"));
    programEvents().click(sh, "tfast");
    EXPECT_EQ(platform.lastStatus, "Animation speed: Fast.");
}

// File names reach the status line (and the renderer's stderr) with their control characters,
// which a terminal would obey, and their bytes that are no UTF-8 shown as "?".
TEST(StatusLineText, ControlCharactersAndBrokenUtf8OfNamesShowAsQuestionMarks) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\x1b[31mb\n\x7f", "a?[31mb??"},
        {"csi\xc2\x9b", "csi?"}, // C1, in UTF-8
        {"caf\xc3\xa9 \xf0\x9f\x8e\xa8", "caf\xc3\xa9 \xf0\x9f\x8e\xa8"},
        {"latin1 \xe9t cut \xe2\x82", "latin1 ?t cut ??"},
        {"overlong \xc0\xaf surrogate \xed\xa0\x80", "overlong ?? surrogate ???"}};
    for (const auto& [given, shown] : cases) {
        Platform p;
        p.status("Saved as " + given + ".");
        EXPECT_EQ(p.lastStatus, "Saved as " + shown + ".") << given;
    }
}
