// The screen saver's command line, and screen-saver mode started from a settings file and
// the options over it.
#include "app/saver.hpp"
#include "app/settings.hpp"
#include "scratch_folder.hpp"
#include "startup_support.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

using namespace vx;
namespace fs = std::filesystem;

namespace {

using S = ArgsStatus;
using Target = SaverOptions::Target;

SaverArgs parse(std::vector<std::string> args) {
    return parseSaverArgs(args);
}

} // namespace

TEST(SaverArgs, GoodAndBadCommandLines) {
    struct Case {
        std::vector<std::string> args;
        S status;
        const char* gist; // for Bad: a part of the error; else the window id drawn into, if any
        Target target = Target::Screens;
        uint32_t id = 0;
    };
    const Case cases[] = {
        {{}, S::None, ""},
        // Qt's own, with one dash or two.
        {{"-platform", "offscreen", "--style=fusion", "-reverse", "-display", ":1"}, S::None, ""},
        {{"--saver"}, S::Run, "", Target::Screens},
        {{"-root"}, S::Run, "", Target::Root},
        {{"--root", "--fast", "-root"}, S::Run, "", Target::Root},
        {{"-window-id", "0x1E00007"}, S::Run, "", Target::Window, 0x1E00007},
        {{"--window-id=4294967295"}, S::Run, "", Target::Window, 0xFFFFFFFF},
        // As XScreenSaver's settings dialog runs a hack in its preview.
        {{"--root", "--size", "120", "--seconds", "5", "--window-id", "0x400EE5"},
         S::Run,
         "",
         Target::Window,
         0x400EE5},
        {{"--help"}, S::Help, ""},
        {{"-help", "--bogus"}, S::Help, ""},
        {{"--version"}, S::Version, ""},
        {{"--bogus"}, S::Bad, "unknown option \"--bogus\""},
        {{"stray"}, S::Bad, "unexpected argument \"stray\""},
        {{"--saver", "--speed", "9"}, S::Bad, "unknown option \"--speed\""},
        {{"--window-id", "seven"}, S::Bad, "--window-id needs a window id"},
        {{"--window-id", "0"}, S::Bad, "--window-id needs a window id"},
        {{"--window-id", "4294967296"}, S::Bad, "--window-id needs a window id"},
        {{"--window-id", "0x"}, S::Bad, "--window-id needs a window id"},
        {{"--window-id", "-5"}, S::Bad, "not \"-5\""},
        {{"--window-id"}, S::Bad, "--window-id needs a window id"},
        {{"--saver", "--root"}, S::Bad, "--saver goes without --root and --window-id"},
        {{"--window-id", "7", "--saver"}, S::Bad, "--saver goes without"},
        {{"--fast"}, S::Bad, "go with --saver, --root or --window-id"},
        {{"-style", "fusion", "-display"}, S::Bad, "--display needs a value"},
        {{"-reverse=1"}, S::Bad, "--reverse takes no value"},
        {{"--saver", "--fast=1"}, S::Bad, "--fast takes no value"},
        {{"--saver", "--colours", "pink"}, S::Bad, "--colours needs basic, true or user"},
        {{"--saver", "--settings"}, S::Bad, "--settings needs a file name"},
        {{"--saver", "--seconds"}, S::Bad, "--seconds needs a number from 1 to 50"},
        {{"--saver", "--seconds", "abc"},
         S::Bad,
         "--seconds needs a number from 1 to 50, not \"abc\""},
        {{"--saver", "--seconds", "-5"}, S::Bad, "not \"-5\""},
        {{"--saver", "--seconds=0"}, S::Bad, "not \"0\""},
        {{"--saver", "--seconds", "nan"}, S::Bad, "not \"nan\""},
        {{"--saver", "--size", "99999"},
         S::Bad,
         "--size needs a number from 40 to 400, not \"99999\""},
        {{"--saver", "--detail", "26"}, S::Bad, "--detail needs a number from 1 to 25"},
        {{"--saver", "--complexity", "0"}, S::Bad, "--complexity needs a number from 1 to 25"},
        {{"--saver", "--smoothness", "10"}, S::Bad, "--smoothness needs a number from 1 to 9"},
        {{"--root", "--seconds", "50", "--size", "40", "--smoothness", "9"},
         S::Run,
         "",
         Target::Root},
    };
    for (const Case& c : cases) {
        const SaverArgs a = parse(c.args);
        std::string shown;
        for (const std::string& w : c.args) shown += w + " ";
        EXPECT_EQ(a.status, c.status) << shown << a.error;
        EXPECT_NE(a.error.find(c.gist), std::string::npos) << shown << a.error;
        if (a.status != S::Run) continue;
        EXPECT_EQ(a.options.target, c.target) << shown;
        EXPECT_EQ(a.options.windowId, c.id) << shown;
    }
    // Every value; of one given twice, as X programs take them, the last.
    const SaverOptions o = parse({"--saver",
                                  "--settings",
                                  "mine.settings",
                                  "--seconds",
                                  "7",
                                  "--patterns",
                                  "--single",
                                  "-slow",
                                  "--size=150",
                                  "--fancy",
                                  "--colors",
                                  "TRUE",
                                  "--seconds",
                                  "8",
                                  "--detail",
                                  "3",
                                  "--complexity",
                                  "4",
                                  "--smoothness",
                                  "5",
                                  "--regular"})
                               .options;
    EXPECT_EQ(o.settingsFile, "mine.settings");
    EXPECT_EQ(o.seconds, "8");
    EXPECT_EQ(o.size, "150");
    EXPECT_EQ(o.detail, "3");
    EXPECT_EQ(o.complexity, "4");
    EXPECT_EQ(o.smoothness, "5");
    EXPECT_EQ(o.single, true);
    EXPECT_EQ(o.slow, true);
    EXPECT_EQ(o.fancy, false);
    EXPECT_EQ(o.colours, SaverOptions::Colours::True);
}

// The program itself: one line and a hint on stderr and status 2, never the window.
TEST(SaverArgs, TheProgramAnswersHelpVersionAndBadCommandLines) {
    const fs::path exe = fs::read_symlink("/proc/self/exe").parent_path() / "vortalis";
    if (!fs::exists(exe)) GTEST_SKIP() << "vortalis is not built";
    const fs::path dir = fs::temp_directory_path() / ("vortalis-args-" + std::to_string(getpid()));
    fs::create_directories(dir);
    struct Case {
        const char* args;
        int status;
        const char* out; // how stdout starts, and a part of it
        const char* err;
        const char* outHas = "";
    };
    const Case cases[] = {
        {"--bogus", 2, "", "vortalis: unknown option \"--bogus\"\nTry \"vortalis --help\".\n"},
        {"--saver --seconds abc", 2, "",
         "vortalis: --seconds needs a number from 1 to 50, not \"abc\"\nTry \"vortalis "
         "--help\".\n"},
        {"-root --window-id 0x5 --saver", 2, "",
         "vortalis: --saver goes without --root and --window-id\nTry \"vortalis --help\".\n"},
        {"--version", 0, "vortalis ", "", "."},
        {"--help", 0, "usage: vortalis [--saver | --root | --window-id ID]", "",
         "\n  --seconds N           seconds between drawings, 1 to 50\n"},
    };
    for (const Case& c : cases) {
        const std::string cmd = "timeout 20 '" + exe.string() + "' " + c.args + " >'" +
                                (dir / "out").string() + "' 2>'" + (dir / "err").string() + "'";
        const int st = std::system(cmd.c_str());
        auto text = [&](const char* name) {
            std::ifstream in(dir / name);
            return std::string(std::istreambuf_iterator<char>(in), {});
        };
        EXPECT_EQ(WIFEXITED(st) ? WEXITSTATUS(st) : -1, c.status) << c.args;
        EXPECT_EQ(text("out").rfind(c.out, 0), 0u) << c.args << text("out");
        EXPECT_NE(text("out").find(c.outHas), std::string::npos) << c.args;
        EXPECT_EQ(text("err"), c.err) << c.args;
    }
    fs::remove_all(dir);
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
    SaverOptions o{};
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

// Hosts such as xsecurelock start the saver in a folder of their own: without a file there,
// the user's configuration folder has it. A file named or there that cannot be read is said.
TEST_F(StartSaver, FindsTheSettingsInTheConfigurationFolderAndSaysWhenOneCannotBeRead) {
    auto settingsOfSize = [](const char* size) {
        vx::testing::ScriptedPlatform other;
        Shapes saved(other);
        saved.form.setText("Text2", size);
        EXPECT_TRUE(saveSettings(saved));
        const std::string bytes = readAll(kSettingsFile);
        fs::remove(kSettingsFile);
        return bytes;
    };
    const std::string here = fs::current_path().string();
    fs::create_directories("xdg/vortalis");
    fs::create_directories("home/.config/vortalis");
    writeAll("xdg/vortalis/Vortalis.settings", settingsOfSize("150"));
    writeAll("home/.config/vortalis/Vortalis.settings", settingsOfSize("160"));
    writeAll("named.settings", settingsOfSize("170"));
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string keptConfig = oldConfig ? oldConfig : "";
    struct Case {
        bool working;       // a file in the working folder
        const char* config; // XDG_CONFIG_HOME, nullptr: unset
        const char* named;  // --settings
        const char* size;   // what the saver's field shows
    };
    const std::string xdg = here + "/xdg";
    const Case cases[] = {
        {true, xdg.c_str(), nullptr, "120"},
        {false, xdg.c_str(), nullptr, "150"},
        {false, nullptr, nullptr, "160"},
        {false, "xdg", nullptr, "160"}, // not absolute
        {true, xdg.c_str(), "named.settings", "170"},
    };
    setenv("HOME", (here + "/home").c_str(), 1);
    for (const Case& c : cases) {
        if (c.working) writeAll(kSettingsFile, settingsOfSize("120"));
        if (c.config)
            setenv("XDG_CONFIG_HOME", c.config, 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        Shapes s(platform);
        s.surface = Surface(640, 480);
        SaverOptions o;
        if (c.named) o.settingsFile = c.named;
        ::testing::internal::CaptureStderr();
        startSaver(s, o);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(s.form.get("Text2").text, c.size) << c.working << (c.config ? c.config : "-");
        fs::remove(kSettingsFile);
    }
    SaverOptions missing;
    missing.settingsFile = "/nonexistent/x.settings";
    ::testing::internal::CaptureStderr();
    startSaver(sh, missing);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(
        said.rfind("vortalis: cannot read the settings file \"/nonexistent/x.settings\": ", 0), 0u)
        << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1);
    EXPECT_EQ(sh.form.get("Text2").text, "200");
    EXPECT_TRUE(sh.form.checked("ssaver"));

    setenv("HOME", oldHome.c_str(), 1);
    if (oldConfig)
        setenv("XDG_CONFIG_HOME", keptConfig.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}
