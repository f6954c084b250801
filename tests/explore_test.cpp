// "Random settings" with its locks, in the window and in the renderer, and a code described.
#include "app/events.hpp"
#include "app/explore.hpp"
#include "app/render.hpp"
#include "model/code.hpp"
#include "model/describe.hpp"
#include "startup_support.hpp"
#include "user_folders.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using namespace vx;

namespace {

struct LockingPlatform : vx::testing::ScriptedPlatform {
    std::vector<bool> ticks;
    std::optional<std::vector<bool>> askChecks(const std::string&, const std::string&,
                                               const std::vector<std::string>&,
                                               const std::vector<bool>&) override {
        return ticks;
    }
};

struct Exploring : ::testing::Test {
    vx::testing::InEmptyFolder folder;
    vx::testing::UserFolders user{std::filesystem::current_path().string()};
    LockingPlatform platform;
    Shapes sh{platform};
    void SetUp() override { begin(sh); }
    static void begin(Shapes& s) {
        startup(s);
        command4Click(s);
        mainLoopTick(s);
        s.surface.resize(240, 180);
    }
    void click(const char* name) { ASSERT_TRUE(programEvents().click(sh, name)) << name; }
    Drawing shown() const { return *decodeDrawing(*sh.history.current()); }
};

} // namespace

TEST_F(Exploring, LockedSettingsStayAndTheOthersRoamTheirRangesAsDrawn) {
    sh.form.setText("Text2", "123");
    sh.form.setText("Text10", "7");
    click("bcolor7");
    click("csingle");
    // Size, smoothness, colour mode and kind locked.
    platform.ticks = {true, false, false, true, false, true, true};
    click("locksettings");
    std::set<double> details, complexities;
    std::set<bool> styles;
    for (int i = 0; i < 30; ++i) {
        click("randomsettings");
        EXPECT_EQ(sh.form.text("Text2"), "123");
        EXPECT_EQ(sh.form.text("Text10"), "7");
        EXPECT_TRUE(sh.form.checked("bcolor7"));
        EXPECT_TRUE(sh.form.checked("csingle"));
        const double detail = sh.field("Text3"), complexity = sh.field("Text9");
        EXPECT_TRUE(detail >= 1 && detail <= 25 && detail == std::floor(detail)) << detail;
        EXPECT_TRUE(complexity >= 1 && complexity <= 25) << complexity;
        details.insert(detail);
        complexities.insert(complexity);
        styles.insert(sh.form.checked("Option2"));
        // What was drawn is what the panel shows.
        const Drawing d = shown();
        EXPECT_EQ(d.kind, DrawingKind::Shape);
        EXPECT_EQ(d.settings.size, 123);
        EXPECT_EQ(d.settings.detail, detail);
        EXPECT_EQ(d.settings.fancy, sh.form.checked("Option2"));
        EXPECT_EQ(d.settings.colour.tcolor, kBasicColours);
    }
    EXPECT_GT(details.size(), 8u);
    EXPECT_GT(complexities.size(), 8u);
    EXPECT_EQ(styles.size(), 2u);
    EXPECT_NE(platform.lastStatus.find("Random settings (locked: size, smoothness, colours, kind)"),
              std::string::npos)
        << platform.lastStatus;

    // Kept for the next run.
    LockingPlatform later;
    Shapes next{later};
    EXPECT_EQ(currentLocks(next).locked,
              (std::array<bool, kLockables>{true, false, false, true, false, true, true}));
}

TEST_F(Exploring, DrawingsKeepTheirSeedsAndNothingIsStoredWhileNoLockChanges) {
    LockingPlatform otherPlatform;
    Shapes other{otherPlatform};
    begin(other);
    std::set<double> modes;
    std::set<DrawingKind> kinds;
    for (int i = 0; i < 24; ++i) {
        click("randomsettings");
        ASSERT_TRUE(programEvents().click(other, "Command1"));
        // The same seeds as "Create random shape(s)" would have taken.
        EXPECT_EQ(shown().seed, decodeDrawing(*other.history.current())->seed) << i;
        modes.insert(sh.st.tcolor * 2 + sh.st.tcolor2);
        kinds.insert(shown().kind);
    }
    EXPECT_EQ(modes.size(), 3u) << "basic, true and user colours";
    EXPECT_EQ(kinds.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists("config/vortalis"));
    // The dialog answered with the locks as they are writes nothing either.
    platform.ticks.assign(kLockables, false);
    click("locksettings");
    EXPECT_EQ(platform.lastStatus, "The locks are as they were.");
    EXPECT_FALSE(std::filesystem::exists("config/vortalis"));
}

TEST(RandomSettingsRenderer, KeptAndGivenSettingsHoldAndTheSeedMakesTheSameDrawing) {
    auto parsed = [](std::vector<std::string> args) { return parseRenderArgs(args); };
    const RenderArgs a = parsed({"--random-settings", "--keep", "colours, kind", "--size", "77",
                                 "--shape", "--seed", "5", "-o", "x.png"});
    ASSERT_EQ(a.status, ArgsStatus::Ok) << a.error;
    std::set<double> details;
    for (uint64_t seed = 1; seed <= 30; ++seed) {
        const Drawing d = *renderedDrawing(a.options, seed);
        EXPECT_EQ(drawingCode(d), drawingCode(*renderedDrawing(a.options, seed)));
        EXPECT_EQ(d.seed, seed);
        EXPECT_EQ(d.settings.size, 77);
        EXPECT_EQ(d.kind, DrawingKind::Shape);
        EXPECT_EQ(d.settings.colour.tcolor2, kListOn) << "the start's user colours";
        details.insert(d.settings.detail);
    }
    EXPECT_GT(details.size(), 8u);

    const std::string code = drawingCode(Drawing{});
    const struct {
        std::vector<std::string> args;
        const char* error; // "" for fine
    } cases[] = {
        {{"--keep", "size", "-o", "x.png"}, "--keep goes with --random-settings"},
        {{"--random-settings", "--keep", "size,hue", "-o", "x.png"}, "\"hue\" is no setting"},
        {{"--describe", "-o", "x.png"}, "--describe tells what made the drawing of --code"},
        {{"--code", code, "--random-settings", "-o", "x.png"}, "--code gives the whole drawing"},
        {{"--code", code, "--describe"}, ""},
    };
    for (const auto& c : cases) {
        const RenderArgs r = parsed(c.args);
        if (*c.error == '\0')
            EXPECT_EQ(r.status, ArgsStatus::Ok) << r.error;
        else
            EXPECT_NE(r.error.find(c.error), std::string::npos) << r.error;
    }
}

TEST(DescribeDrawing, SaysEverySettingAndTheColoursAsACodeCarriesThem) {
    Drawing listed;
    listed.seed = 4242;
    listed.settings.size = 150;
    listed.settings.colour.list = {0x0000FF, -3, 2};
    Drawing scaled;
    scaled.kind = DrawingKind::Shape;
    scaled.settings.sides = 8;
    scaled.settings.fancy = false;
    scaled.settings.smoothness = 2.5;
    scaled.settings.colour.tcolor = kImportedColours;
    scaled.settings.colour.tcolor2 = kListOff;
    scaled.settings.colour.scale = {0x102030, 0xFFFFFF};
    const std::pair<Drawing, const char*> cases[] = {
        {listed, "kind pattern\nseed 4242\nsize 150\ndetail 16\ncomplexity 1\nsmoothness 2\n"
                 "sides 4\nstyle fancy\ncolours user\nlist #FF0000 random-green #020000\n"},
        {scaled, "kind shape\nseed 0\nsize 200\ndetail 16\ncomplexity 1\nsmoothness 2.5\n"
                 "sides 8\nstyle regular\ncolours scale\nscale #302010 #FFFFFF\n"},
    };
    for (const auto& [d, text] : cases)
        EXPECT_EQ(describeDrawing(*decodeDrawing(drawingCode(d))), text);
}
