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

// A folder holding a temporary name does not block a save; it is left as it is.
TEST_F(SyncFailure, SomethingUnderTheTemporaryNameDoesNotBlockASave) {
    Shapes sh;
    prepare(sh);
    fs::create_directory("pattern1.bmp.tmp");
    EXPECT_TRUE(saveDrawing(sh)) << sh.platform->lastStatus;
    EXPECT_EQ(filesHere(),
              (std::set<std::string>{"Vortalis.settings", "pattern1.bmp", "pattern1.bmp.tmp"}));
    EXPECT_EQ(readAll("pattern1.bmp").substr(0, 2), "BM");
}

TEST_F(SyncFailure, OnlyAbsentNamesAndRegularFilesMayBeReplaced) {
    writeAll("plain.bmp", "x");
    fs::create_symlink("plain.bmp", "link.bmp");
    fs::create_symlink("nowhere.bmp", "dangling.bmp");
    fs::create_directory("folder.bmp");
    ASSERT_EQ(::mkfifo("pipe.bmp", 0644), 0);
    const struct {
        const char* name;
        const char* kind; // empty: may be written
    } cases[] = {{"absent.bmp", ""},
                 {"plain.bmp", ""},
                 {"link.bmp", "symbolic link"},
                 {"dangling.bmp", "symbolic link"},
                 {"folder.bmp", "folder"},
                 {"pipe.bmp", "pipe"},
                 {"/dev/null", "device"}};
    for (const auto& c : cases) {
        const Status s = regularOrAbsent(c.name);
        EXPECT_EQ(s.ok(), *c.kind == '\0') << c.name;
        if (!s.ok()) {
            EXPECT_NE(s.error().message.find(c.kind), std::string::npos) << c.name;
        }
    }
}
