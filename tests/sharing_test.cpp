// Two windows (or two programs) in one working folder: every save ends in a file of its own
// that holds what its window said it saved, and each colour editor gives back its own drawing.
#include "app/editor.hpp"
#include "app/events.hpp"
#include "app/output.hpp"
#include "export/bmp.hpp"
#include "scratch_folder.hpp"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <latch>
#include <sys/stat.h>
#include <thread>

using namespace vx;
namespace fs = std::filesystem;

namespace {

// A pattern of one colour, ready to save.
void finishPattern(Shapes& sh, int32_t colour) {
    sh.surface = Surface(16, 8, colour);
    sh.st.bbmv = 2;
    sh.st.nosave = 0;
}

class TwoWindows : public scratch::ScratchFolder {
  protected:
    void click(Shapes& sh, const char* name) { ASSERT_TRUE(programEvents().click(sh, name)); }
    Shapes a, b;
};

} // namespace

// VORTALIS_RACE_ROUNDS=N runs N rounds and prints how many files were lost.
TEST_F(TwoWindows, SavesRacingForOneNumberBothEndInTheirOwnFile) {
    const char* asked = std::getenv("VORTALIS_RACE_ROUNDS");
    const int rounds = asked ? std::max(1, std::atoi(asked)) : 50;
    int lost = 0;
    for (int round = 0; round < rounds; ++round) {
        // Every round both race for pattern1.bmp.
        for (const auto& e : fs::directory_iterator(".")) fs::remove(e.path());
        std::latch start(2);
        auto save = [&start](Shapes* sh, int32_t colour) {
            finishPattern(*sh, colour);
            start.arrive_and_wait();
            saveDrawing(*sh);
        };
        const int32_t colours[] = {0x010000 + round, 0x020000 + round};
        std::thread ta(save, &a, colours[0]), tb(save, &b, colours[1]);
        ta.join();
        tb.join();
        int files = 0;
        for (const auto& e : fs::directory_iterator(".")) files += e.is_regular_file() ? 1 : 0;
        for (int k = 0; k < 2; ++k) {
            const Shapes& sh = k == 0 ? a : b;
            const std::string name = sh.savedAs.substr(0, sh.savedAs.find(" in "));
            const bool kept = sh.platform->lastStatus == "Saved as " + sh.savedAs + "." &&
                              readAll(name) == encodeBmp24(Surface(16, 8, colours[k]));
            lost += kept ? 0 : 1;
            EXPECT_TRUE(kept) << "round " << round << ": " << sh.platform->lastStatus;
        }
        ASSERT_EQ(files, 2) << "round " << round;
    }
    EXPECT_EQ(lost, 0);
    if (asked) std::printf("two savers: %d rounds, %d files lost\n", rounds, lost);
}

TEST_F(TwoWindows, EachColourEditorGivesBackItsOwnDrawing) {
    finishPattern(a, 0xAA0000);
    finishPattern(b, 0x00BB00);
    click(a, "editcolors");
    click(b, "editcolors"); // the scratch file now holds b's drawing, marked as the program's
    std::string scratch = encodeBmp24(Surface(16, 8, 0x00BB00));
    scratch.replace(6, 4, "VXsc");
    EXPECT_EQ(readAll(kDrawingKeptFile), scratch);
    click(a, "quit2");
    EXPECT_EQ(a.surface.pixel(3, 3), 0xAA0000);
    EXPECT_EQ(a.platform->lastStatus, "drawing1.bmp was changed by another program; the drawing "
                                      "was brought back from memory.");
    click(b, "quit2");
    EXPECT_EQ(b.surface.pixel(3, 3), 0x00BB00);
    EXPECT_EQ(b.platform->lastStatus.find(kDrawingKeptFile), std::string::npos);
    // "S" in a saves a's drawing.
    ASSERT_TRUE(saveDrawing(a));
    EXPECT_EQ(readAll("pattern1.bmp"), encodeBmp24(Surface(16, 8, 0xAA0000)));

    // A pipe put in the file's place is not waited for.
    click(a, "editcolors");
    fs::remove(kDrawingKeptFile);
    ASSERT_EQ(::mkfifo(kDrawingKeptFile, 0644), 0);
    a.surface.fillBox(0, 0, 100, 100, 0x123456);
    click(a, "quit2");
    EXPECT_EQ(a.surface.pixel(3, 3), 0xAA0000);
    EXPECT_EQ(a.platform->lastStatus, "drawing1.bmp could not be read back (it is a pipe, not a "
                                      "regular file); the drawing was brought back from memory.");
}
