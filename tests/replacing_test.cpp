// Files the window replaces: through symbolic links, read-only ones only when the user says so,
// a drawing1.bmp of the user's never, and what killed writes left behind removed at start.
#include "app/editor.hpp"
#include "app/events.hpp"
#include "app/output.hpp"
#include "app/settings.hpp"
#include "app/startup.hpp"
#include "platform/files.hpp"
#include "scratch_folder.hpp"

#include <fcntl.h>
#include <filesystem>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace vx;

namespace {

class Answering : public Platform {
  public:
    bool confirm(const std::string& question) override {
        asked.push_back(question);
        return yes;
    }
    bool yes = false;
    std::vector<std::string> asked;
};

class Replacing : public scratch::ScratchFolder {
  protected:
    std::set<std::string> filesIn(const fs::path& dir) {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename());
        return names;
    }
    void savePalette(const std::string& name) {
        ev.click(sh, "editcolors");
        ev.click(sh, "scolor");
        sh.form.setText("Text11", name);
        ev.click(sh, "Command12");
        ev.click(sh, "quit2");
    }
    Answering platform;
    Shapes sh{platform};
    const Events& ev = programEvents();
};

const auto kReadOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;

} // namespace

TEST_F(Replacing, LinksStayAndTheFilesTheyLeadToAreWritten) {
    fs::create_directory("elsewhere");
    writeAll("elsewhere/real.settings", "old");
    fs::create_symlink("elsewhere/real.settings", kSettingsFile);
    ASSERT_TRUE(saveSettings(sh)) << platform.lastStatus;
    EXPECT_TRUE(fs::is_symlink(kSettingsFile));
    EXPECT_NE(readAll("elsewhere/real.settings").find("9999"), std::string::npos);
    // A link to nothing yet: the file it names is made, in its own folder.
    fs::create_symlink("elsewhere/new.palette", "warm.palette");
    sh.st.colorlist[1] = 255;
    platform.yes = true; // "warm.palette" exists (as a link)
    savePalette("warm");
    EXPECT_TRUE(fs::is_symlink("warm.palette"));
    EXPECT_EQ(readAll("elsewhere/new.palette").substr(0, 7), " 255 \r\n");
    // No temporary is left in either folder.
    EXPECT_EQ(filesIn("."), (std::set<std::string>{kSettingsFile, kDrawingKeptFile, "elsewhere",
                                                   "warm.palette"}));
    EXPECT_EQ(filesIn("elsewhere"), (std::set<std::string>{"real.settings", "new.palette"}));

    // In a folder all may write to, another user's link is not followed, as the system would
    // not follow it.
    if (::geteuid() != 0) GTEST_SKIP() << "giving a link to another user needs root";
    fs::create_directory("shared");
    fs::permissions("shared", fs::perms::all | fs::perms::sticky_bit);
    fs::create_symlink("../elsewhere/real.settings", "shared/planted");
    ASSERT_EQ(::lchown("shared/planted", 4242, 4242), 0);
    const Status s = writeFileAtomically("shared/planted", "new");
    ASSERT_FALSE(s);
    EXPECT_NE(s.error().message.find("another user's"), std::string::npos);
    EXPECT_NE(readAll("elsewhere/real.settings"), "new");
}

TEST_F(Replacing, ReadOnlyFilesAreReplacedOnlyWhenTheUserSaysSo) {
    writeAll(kSettingsFile, "mine");
    fs::permissions(kSettingsFile, kReadOnly);
    EXPECT_FALSE(saveSettings(sh));
    EXPECT_EQ(platform.asked.back(), "Vortalis.settings is read-only. Replace it all the same?");
    EXPECT_EQ(platform.lastStatus,
              "Vortalis.settings is read-only and was kept as it was; nothing was written.");
    EXPECT_EQ(readAll(kSettingsFile), "mine");
    platform.yes = true;
    EXPECT_TRUE(saveSettings(sh));
    EXPECT_NE(readAll(kSettingsFile), "mine");
    EXPECT_EQ(fs::status(kSettingsFile).permissions() & fs::perms::all, kReadOnly);
    // The palette's question says it too.
    writeAll("warm.palette", "mine");
    fs::permissions("warm.palette", kReadOnly);
    platform.yes = false;
    sh.st.colorlist[1] = 255;
    savePalette("warm");
    EXPECT_EQ(platform.asked.back(),
              "A palette named warm.palette already exists and is read-only. Replace it all the "
              "same?");
    EXPECT_EQ(readAll("warm.palette"), "mine");
}

TEST_F(Replacing, TheUsersDrawing1IsMovedAsideAndTheEditorsOwnIsReplaced) {
    sh.surface = Surface(32, 16, 0x123456);
    sh.st.bbmv = 2;
    writeAll(kDrawingKeptFile, "mine");
    writeAll("drawing1-yours1.bmp", "mine before");
    ev.click(sh, "editcolors");
    EXPECT_EQ(platform.lastStatus,
              "Your drawing1.bmp was moved to drawing1-yours2.bmp: the colour editor keeps the "
              "drawing in drawing1.bmp while it is open.");
    EXPECT_EQ(readAll("drawing1-yours2.bmp"), "mine");
    EXPECT_EQ(readAll("drawing1-yours1.bmp"), "mine before");
    ev.click(sh, "quit2");
    EXPECT_EQ(sh.surface.pixel(5, 5), 0x123456);
    // The editor's own file, left from before, is simply replaced.
    ev.click(sh, "editcolors");
    ev.click(sh, "quit2");
    EXPECT_FALSE(exists("drawing1-yours3.bmp"));
    // Something that is no file is neither moved nor replaced: the drawing stays in memory.
    fs::remove(kDrawingKeptFile);
    fs::create_directory(kDrawingKeptFile);
    ev.click(sh, "editcolors");
    EXPECT_NE(platform.lastStatus.find("kept in memory only"), std::string::npos);
    sh.surface.fillBox(0, 0, 31, 15, 0);
    ev.click(sh, "quit2");
    EXPECT_TRUE(fs::is_directory(kDrawingKeptFile));
    EXPECT_EQ(sh.surface.pixel(5, 5), 0x123456);
}

// Only names the window makes, only untouched for a while, only when no writer holds them.
TEST_F(Replacing, StartUpRemovesTheStaleTemporariesOfItsOwnFiles) {
    const char* const stale[] = {".pattern3.bmp.AbC123", ".Vortalis.settings.x9Y8z7",
                                 ".warm.palette.QQQQQQ"};
    const char* const kept[] = {".notes.txt.AbC123", ".pattern3.bmp.AbC12", ".pattern3.bmp.held01",
                                ".shape4.bmp.fresh1"};
    for (const char* n : stale) writeAll(n, "half");
    for (const char* n : kept) writeAll(n, "half");
    const timespec old[2] = {{0, UTIME_OMIT}, {time(nullptr) - kStaleTemporarySeconds - 5, 0}};
    for (const char* n : stale) ::utimensat(AT_FDCWD, n, old, 0);
    for (int i = 0; i < 3; ++i) ::utimensat(AT_FDCWD, kept[i], old, 0);
    const int held = ::open(".pattern3.bmp.held01", O_RDONLY); // as a writer holds its own
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    startup(sh);
    ::close(held);
    for (const char* n : stale) EXPECT_FALSE(exists(n)) << n;
    for (const char* n : kept) EXPECT_TRUE(exists(n)) << n;
}
