// Saving when the disk is full, read-only or fails to sync, and the renderer's output that is
// not a plain file: every refusal names its file and the real cause, and leaves the old
// files whole and no half-written one behind.
#include "app/output.hpp"
#include "app/settings.hpp"
#include "platform/files.hpp"
#include "scratch_folder.hpp"
#include "small_disk.hpp"

#include <filesystem>
#include <fstream>
#include <set>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace vx;

namespace {

std::set<std::string> filesHere() {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(".")) names.insert(e.path().filename().string());
    return names;
}

std::string readAll(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A pattern ready to save, and a settings file saved before the trouble.
void prepare(Shapes& sh) {
    sh.surface = Surface(64, 64);
    sh.st.bbmv = 2;
    sh.st.nosave = 0;
    sh.st.numcolors = 1;
    ASSERT_TRUE(saveSettings(sh));
    sh.form.setText("Text3", "7");
}

// Both saves fail, each naming its file and the cause, and only what was there stays.
void expectRefusals(Shapes& sh, const std::string& cause) {
    const std::string settings = readAll(kSettingsFile);
    const std::set<std::string> before = filesHere();
    EXPECT_FALSE(saveDrawing(sh));
    const std::string saved = sh.platform->lastStatus;
    EXPECT_NE(saved.find("pattern1.bmp"), std::string::npos) << saved;
    EXPECT_NE(saved.find(cause), std::string::npos) << saved;
    EXPECT_TRUE(sh.form.enabled("sscreen")); // it may be saved once the disk has room
    EXPECT_FALSE(saveSettings(sh));
    const std::string kept = sh.platform->lastStatus;
    EXPECT_NE(kept.find(kSettingsFile), std::string::npos) << kept;
    EXPECT_NE(kept.find(cause), std::string::npos) << kept;
    EXPECT_EQ(readAll(kSettingsFile), settings);
    EXPECT_EQ(filesHere(), before);
}

} // namespace

TEST(TroubledDisk, FullOrReadOnlyDisksRefuseEverySaveWithTheirCause) {
    for (const bool full : {true, false}) {
        vx::testing::SmallDisk disk;
        VORTALIS_NEED_DISK(disk);
        Shapes sh;
        prepare(sh);
        if (full)
            disk.fill();
        else
            disk.makeReadOnly();
        expectRefusals(sh, full ? "No space left on device" : "Read-only file system");
    }
}

class SyncFailure : public scratch::ScratchFolder {
  protected:
    void TearDown() override {
        failSyncsForTests(false);
        ScratchFolder::TearDown();
    }
};

TEST_F(SyncFailure, ASaveThatCannotBeSyncedIsNotReportedAsSaved) {
    Shapes sh;
    prepare(sh);
    failSyncsForTests(true);
    expectRefusals(sh, "Input/output error");
}

// Names the program did not create are never written or removed: a folder or a user's file
// under an old temporary name stays as it was, and a replaced file keeps its permissions.
TEST_F(SyncFailure, NamesTheProgramDidNotCreateAreLeftAlone) {
    Shapes sh;
    prepare(sh);
    fs::create_directory("pattern1.bmp.tmp");
    writeAll("Vortalis.settings.tmp", "mine");
    writeAll("out.png.tmp", "mine too");
    fs::permissions(kSettingsFile, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(saveDrawing(sh)) << sh.platform->lastStatus;
    EXPECT_TRUE(saveSettings(sh));
    EXPECT_TRUE(writeFileAtomically("out.png", "new"));
    EXPECT_EQ(filesHere(),
              (std::set<std::string>{"Vortalis.settings", "Vortalis.settings.tmp", "pattern1.bmp",
                                     "pattern1.bmp.tmp", "out.png", "out.png.tmp"}));
    EXPECT_EQ(readAll("pattern1.bmp").substr(0, 2), "BM");
    EXPECT_EQ(readAll("Vortalis.settings.tmp"), "mine");
    EXPECT_EQ(readAll("out.png.tmp"), "mine too");
    EXPECT_EQ(fs::status(kSettingsFile).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

// Writers replace only what is absent or a regular file, readers read only regular files (links
// followed both times) and never open a pipe or a device, which could hold the program.
TEST_F(SyncFailure, OnlyRegularFilesAreReplacedOrRead) {
    writeAll("plain.bmp", "x");
    fs::create_symlink("plain.bmp", "link.bmp");
    fs::create_symlink("nowhere.bmp", "dangling.bmp");
    fs::create_directory("folder.bmp");
    fs::create_symlink("folder.bmp", "folderlink.bmp");
    fs::create_symlink("loop.bmp", "loop.bmp");
    ASSERT_EQ(::mkfifo("pipe.bmp", 0644), 0);
    const struct {
        const char* name;
        const char* kind;  // empty: may be written
        const char* reads; // empty: reads "x"
    } cases[] = {{"absent.bmp", "", "no such file"},
                 {"plain.bmp", "", ""},
                 {"link.bmp", "", ""},
                 {"dangling.bmp", "", "no such file"},
                 {"folder.bmp", "folder", "a folder"},
                 {"folderlink.bmp", "folder", "a folder"},
                 {"loop.bmp", "symbolic links", "symbolic links"},
                 {"pipe.bmp", "pipe", "a pipe"},
                 {"/dev/zero", "device", "a device"}};
    for (const auto& c : cases) {
        const Status s = regularOrAbsent(c.name);
        EXPECT_EQ(s.ok(), *c.kind == '\0') << c.name;
        if (!s.ok()) {
            EXPECT_NE(s.error().message.find(c.kind), std::string::npos) << c.name;
        }
        const Result<std::string> r = readFileStart(c.name, 100);
        EXPECT_EQ(r.ok(), *c.reads == '\0') << c.name;
        const std::string got = r ? *r : r.error().message;
        EXPECT_NE(got.find(*c.reads ? c.reads : "x"), std::string::npos) << c.name << ": " << got;
    }
    writeAll("long.txt", std::string(200000, 'y'));
    EXPECT_EQ(readFileStart("long.txt", 70000)->size(), 70000u);
}
