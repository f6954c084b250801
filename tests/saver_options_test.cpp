// The screen saver's command line, and screen-saver mode started from a settings file and
// the options over it.
#include "app/saver.hpp"
#include "app/settings.hpp"
#include "scratch_folder.hpp"
#include "startup_support.hpp"

#include <gtest/gtest.h>

using namespace vx;

namespace {

using Outcome = SaverArgs::Status;
using Target = SaverOptions::Target;

SaverArgs parse(std::vector<std::string> args) {
    return parseSaverArgs(args);
}

} // namespace

TEST(SaverArgs, TargetsAndSwitchesAsHostsGiveThem) {
    struct Case {
        std::vector<std::string> args;
        Outcome status;
        Target target;
        uint32_t id;
    };
    const Case cases[] = {
        {{}, Outcome::None, Target::Screens, 0},
        {{"-platform", "offscreen"}, Outcome::None, Target::Screens, 0}, // Qt's own
        {{"--saver"}, Outcome::Run, Target::Screens, 0},
        {{"-root"}, Outcome::Run, Target::Root, 0},
        {{"--root", "--fast"}, Outcome::Run, Target::Root, 0},
        {{"-window-id", "0x1E00007"}, Outcome::Run, Target::Window, 0x1E00007},
        {{"--window-id", "4294967295"}, Outcome::Run, Target::Window, 0xFFFFFFFF},
        {{"--help"}, Outcome::Help, Target::Screens, 0},
        {{"--window-id", "seven"}, Outcome::Bad, Target::Window, 0},
        {{"--window-id", "0"}, Outcome::Bad, Target::Window, 0},
        {{"--window-id", "4294967296"}, Outcome::Bad, Target::Window, 0},
        {{"--window-id", "0x"}, Outcome::Bad, Target::Window, 0},
        {{"--window-id", "-5"}, Outcome::Bad, Target::Window, 0},
        {{"--window-id"}, Outcome::Bad, Target::Window, 0},
        {{"--saver", "--root"}, Outcome::Bad, Target::Screens, 0},
        {{"--fast"}, Outcome::Bad, Target::Screens, 0}, // an option without a target
        {{"--saver", "--speed"}, Outcome::Bad, Target::Screens, 0},
        {{"--saver", "--colours", "pink"}, Outcome::Bad, Target::Screens, 0},
        {{"--saver", "--seconds"}, Outcome::Bad, Target::Screens, 0},
    };
    for (const Case& c : cases) {
        const SaverArgs a = parse(c.args);
        const std::string shown = c.args.empty() ? "(none)" : c.args[0] + " " + c.args.back();
        EXPECT_EQ(a.status, c.status) << shown;
        if (a.status == Outcome::Bad) {
            EXPECT_FALSE(a.error.empty()) << shown;
            continue;
        }
        EXPECT_EQ(a.options.target, c.target) << shown;
        EXPECT_EQ(a.options.windowId, c.id) << shown;
    }
    const SaverOptions o =
        parse({"--saver", "--settings", "mine.settings", "--seconds", "7", "--single", "--slow",
               "--size", "150", "--fancy", "--colors", "TRUE"})
            .options;
    EXPECT_EQ(o.settingsFile, "mine.settings");
    EXPECT_EQ(o.seconds, "7");
    EXPECT_EQ(o.size, "150");
    EXPECT_EQ(o.single, true);
    EXPECT_EQ(o.slow, true);
    EXPECT_EQ(o.fancy, true);
    EXPECT_EQ(o.colours, SaverOptions::Colours::True);
}

class StartSaver : public scratch::ScratchFolder {
  protected:
    vx::testing::ScriptedPlatform platform;
    Shapes sh{platform};
    void SetUp() override {
        ScratchFolder::SetUp();
        sh.surface = Surface(640, 480);
    }
};

// The file counts, is never written, and the options win over it.
TEST_F(StartSaver, ReadsTheFileNeverWritesItAndTheOptionsWin) {
    {
        vx::testing::ScriptedPlatform other;
        Shapes saved(other);
        saved.surface = Surface(640, 480);
        saved.st.mpattern = 1;
        saved.form.setText("Text2", "120");
        saved.form.setText("Text5", "9");
        ASSERT_TRUE(saveSettings(saved));
    }
    const std::string before = readAll(kSettingsFile);
    SaverOptions o;
    o.single = true;
    o.slow = true;
    o.seconds = "3";
    startSaver(sh, o);
    EXPECT_TRUE(sh.form.checked("ssaver"));
    EXPECT_TRUE(sh.form.checked("csingle"));
    EXPECT_TRUE(sh.form.checked("tslow"));
    EXPECT_EQ(sh.form.get("Text5").text, "3");
    EXPECT_EQ(sh.form.get("Timer1").interval, 3000);
    EXPECT_TRUE(sh.form.enabled("Timer1"));
    EXPECT_EQ(sh.form.get("Text2").text, "120"); // from the file
    EXPECT_TRUE(sh.form.visible("Picture1"));
    EXPECT_EQ(readAll(kSettingsFile), before);

    // Another file named: this one does not count.
    Shapes other(platform);
    other.surface = Surface(640, 480);
    SaverOptions named;
    named.settingsFile = "absent.settings";
    startSaver(other, named);
    EXPECT_EQ(other.form.get("Text2").text, "200");
    EXPECT_TRUE(other.form.checked("cpattern"));
    EXPECT_FALSE(exists("absent.settings"));
}
