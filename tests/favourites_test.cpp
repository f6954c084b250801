// Favourites: the file that keeps them (damaged lines, a full disk, two windows at once), the
// page that shows them, and the screen saver that shows them in turn.
#include "app/events.hpp"
#include "app/favourites.hpp"
#include "app/favstore.hpp"
#include "app/render.hpp"
#include "app/saver.hpp"
#include "model/code.hpp"
#include "scratch_folder.hpp"
#include "small_disk.hpp"
#include "startup_support.hpp"
#include "user_folders.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

using namespace vx;
namespace fs = std::filesystem;

namespace {

struct FavouritesPlatform : vx::testing::ScriptedPlatform {
    std::optional<std::string> folder;
    int warnings = 0;
    std::optional<std::string> askFolder(const std::string&) override { return folder; }

  protected:
    void showWarning(const std::string& text) override {
        ++warnings;
        Platform::showWarning(text);
    }
};

std::string codeOfSeed(uint64_t seed) {
    Drawing d;
    d.seed = seed;
    return drawingCode(d);
}

struct FavouritesTest : vx::scratch::ScratchFolder {
    std::optional<vx::testing::UserFolders> user;
    FavouritesPlatform platform;
    std::optional<Shapes> sh;
    void SetUp() override {
        ScratchFolder::SetUp();
        user.emplace(dir_.string());
        sh.emplace(platform);
        startup(*sh);
        command4Click(*sh);
        mainLoopTick(*sh);
        sh->surface.resize(800, 600);
    }
    void TearDown() override {
        sh.reset();
        user.reset();
        ScratchFolder::TearDown();
    }
    void click(const char* name) { ASSERT_TRUE(programEvents().click(*sh, name)) << name; }
    void key(int k) { programEvents().keyDown(*sh, Events::kWindow, k); }
    std::string current() const { return *sh->history.current(); }
    // A new pattern on screen, kept as a favourite; its code.
    std::string keepOne() {
        click("Command1");
        click("addfavourite");
        return current();
    }
};

} // namespace

TEST_F(FavouritesTest, ADamagedLineIsSaidOnceAndSurvivesEveryRewrite) {
    const std::string damaged = "not a code at all\r\nQQQQQ-1 2024-01-01\n";
    const std::string old = codeOfSeed(7) + " 2024-05-01T10:00:00+0000\n";
    fs::create_directories("data/vortalis");
    writeAll(favouritesPath(), old + damaged);

    const std::string code = keepOne();
    EXPECT_NE(platform.lastStatus.find("Added to the favourites (2 in all)"), std::string::npos)
        << platform.lastStatus;
    EXPECT_EQ(readAll(favouritesPath()).rfind(old + damaged + code + " ", 0), 0u);
    click("addfavourite");
    EXPECT_NE(platform.lastStatus.find("Already a favourite"), std::string::npos);
    EXPECT_NE(platform.warning.find("2 lines of " + favouritesPath()), std::string::npos);

    // Removed on the page: the newest is marked first.
    click("favourites");
    EXPECT_EQ(sh->favouritesPage->entries.size(), 2u);
    key(46);
    EXPECT_EQ(readAll(favouritesPath()), old + damaged);
    EXPECT_EQ(platform.warnings, 1);
}

TEST_F(FavouritesTest, TwoWindowsAddingAtOnceLoseNothing) {
    const std::string file = favouritesPath();
    const auto addMany = [&](uint64_t from) {
        bool ok = true;
        for (uint64_t s = from; s < from + 40; ++s)
            ok = ok && addFavourite(file, favouriteLine(codeOfSeed(s), favouriteDate())).ok();
        return ok;
    };
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(addMany(1000) ? 0 : 1);
    EXPECT_TRUE(addMany(2000));
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const FavouritesText f = *readFavourites(file);
    EXPECT_EQ(f.lines.size(), 80u);
    EXPECT_EQ(f.damaged, 0);
    for (uint64_t s : {1000u, 1039u, 2000u, 2039u}) EXPECT_TRUE(holdsCode(f, codeOfSeed(s))) << s;
}

TEST_F(FavouritesTest, AFullDiskIsSaidAndTheFavouritesStayAsTheyWere) {
    vx::testing::SmallDisk disk;
    VORTALIS_NEED_DISK(disk);
    setenv("XDG_DATA_HOME", disk.path().c_str(), 1);
    keepOne();
    const std::string before = readAll(favouritesPath());
    disk.fill();
    keepOne();
    EXPECT_NE(platform.lastStatus.find("was not added to the favourites"), std::string::npos);
    EXPECT_NE(platform.lastStatus.find("No space left"), std::string::npos) << platform.lastStatus;
    EXPECT_EQ(readAll(favouritesPath()), before);
}

TEST_F(FavouritesTest, ThePageShowsTheNewestFirstAndGivesTheDrawingAreaBackAsItWas) {
    const std::string first = keepOne(), second = keepOne();
    click("csingle");
    const std::string third = keepOne();
    click("cpattern");
    click("Command1");
    const Surface before = sh->surface;

    click("favourites");
    ASSERT_TRUE(sh->favouritesPage);
    const FavouritesPage& page = *sh->favouritesPage;
    ASSERT_EQ(page.entries.size(), 3u);
    EXPECT_EQ(page.entries[0].code, third);
    EXPECT_EQ(page.entries[2].code, first);
    EXPECT_FALSE(sh->form.visible("Label2"));
    EXPECT_FALSE(sh->form.visible("explore"));
    EXPECT_TRUE(sh->form.visible("favpage"));
    waitForFavourites(*sh);
    ASSERT_EQ(page.thumbnails.size(), 3u);
    // Each thumbnail is the drawing itself, made at the window's size and scaled down.
    Drawing d = page.entries[1].drawing;
    d.width = 800;
    d.height = 600;
    EXPECT_TRUE(page.thumbnails.at(page.entries[1].id) ==
                thumbnailOf(d, page.thumbWidth, page.thumbHeight));

    key('P'); // neither prints nor saves the page
    key(27);
    EXPECT_FALSE(sh->favouritesPage);
    EXPECT_TRUE(sh->surface == before);
    EXPECT_TRUE(sh->form.visible("Label2"));
    EXPECT_TRUE(sh->form.visible("explore"));

    // A click opens one into the history.
    click("favourites");
    const size_t drawn = sh->history.size();
    const double cellW = kFavThumbWidth + kFavGap;
    programEvents().mouseDown(*sh, 1, kFavLeft + cellW * 1.5, kFavTop + 20);
    EXPECT_FALSE(sh->favouritesPage);
    EXPECT_EQ(current(), second);
    EXPECT_EQ(sh->history.size(), drawn + 1);
    EXPECT_TRUE(sh->surface == renderDrawing(d));
}

TEST_F(FavouritesTest, ExportAllWritesEveryFavouriteAndOverwritesNothing) {
    keepOne();
    keepOne();
    fs::create_directory("out");
    writeAll("out/favourite1.png", "mine");
    platform.folder = (dir_ / "out").string();
    click("favourites");
    click("favexport");
    waitForFavourites(*sh);
    EXPECT_EQ(readAll("out/favourite1.png"), "mine");
    for (const char* f : {"out/favourite2.png", "out/favourite3.png"})
        EXPECT_EQ(readAll(f).substr(1, 3), "PNG") << f;
    EXPECT_NE(platform.lastStatus.find("Exported 2 favourites as PNG files"), std::string::npos)
        << platform.lastStatus;
    EXPECT_FALSE(sh->form.enabled(kFavouritesTimer));
}

TEST_F(FavouritesTest, TheSaverShowsTheFavouritesInTurnElseSaysSoAndDrawsAtRandom) {
    SaverOptions o;
    o.favourites = true;
    ::testing::internal::CaptureStderr();
    {
        Shapes saver{platform};
        startSaver(saver, o);
        EXPECT_NE(saver.st.bbmv, kShownNothing);
    }
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("there are no favourites in"),
              std::string::npos);

    const std::string older = keepOne();
    click("csingle");
    const std::string newer = keepOne();
    Shapes saver{platform};
    startSaver(saver, o);
    for (const std::string& want : {newer, older, newer}) {
        ASSERT_TRUE(saver.lastDrawing);
        Drawing shown = *saver.lastDrawing;
        EXPECT_EQ(drawingCode(shown), want);
        programEvents().click(saver, "Timer1");
    }
}
