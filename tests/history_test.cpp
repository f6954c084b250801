// Drawings made again from their codes: in the window's history and in the renderer.
#include "app/events.hpp"
#include "app/history.hpp"
#include "app/render.hpp"
#include "model/code.hpp"
#include "startup_support.hpp"

#include <gtest/gtest.h>

#include <filesystem>

using namespace vx;

namespace {

struct AskingPlatform : vx::testing::ScriptedPlatform {
    std::optional<std::string> answer;
    std::optional<std::string> askText(const std::string&, const std::string&) override {
        return answer;
    }
};

struct HistoryMenu : ::testing::Test {
    vx::testing::InEmptyFolder folder;
    AskingPlatform platform;
    Shapes sh{platform};
    void SetUp() override {
        startup(sh);
        command4Click(sh);
        mainLoopTick(sh);
        sh.surface.resize(400, 300);
    }
    void click(const char* name) { ASSERT_TRUE(programEvents().click(sh, name)) << name; }
    std::string code() const {
        return platform.lastStatus.substr(platform.lastStatus.find("Drawing ") + 8);
    }
    // What a save would write: the window for a pattern, Picture1 for a shape.
    const Surface& picture() const { return sh.st.bbmv == 2 ? sh.surface : sh.picture1; }
};

} // namespace

TEST_F(HistoryMenu, EveryDrawingShowsItsCodeAndTheRendererMakesItAgainByteForByte) {
    sh.st.colorlist[1] = 255;
    sh.st.colorlist[2] = -3;
    sh.st.numcolors = 3;
    const char* sizes[] = {"100", "47", "255.5"};
    for (int i = 0; i < 6; ++i) {
        click(i % 2 ? "csingle" : "cpattern");
        sh.form.setText("Text2", sizes[i % 3]);
        sh.form.setText("Text10", i % 3 ? "3" : "1");
        click(i % 3 == 2 ? "bcolor7" : "ucolors");
        click("Command1");
        ASSERT_EQ(platform.lastStatus.rfind("Drawing ", 0), 0u) << platform.lastStatus;
        Result<Drawing> d = decodeDrawing(code());
        ASSERT_TRUE(d) << code();
        d->width = 400;
        d->height = 300;
        EXPECT_TRUE(renderDrawing(*d) == picture()) << i << " " << code();
    }
}

TEST_F(HistoryMenu, PreviousAndNextRedrawExactlyAndSetTheFieldsAndSwitches) {
    click("Command1"); // a pattern of the start fields
    const std::string first = code();
    const Surface firstPicture = sh.surface;
    click("csingle");
    sh.form.setText("Text2", "120");
    sh.form.setText("Text3", "7");
    click("Option1");
    click("tcolor7");
    click("Command1");
    const std::string second = code();
    const Surface secondPicture = sh.picture1;

    click("nextdrawing"); // at the newest: nothing
    EXPECT_EQ(code(), second);
    click("prevdrawing");
    EXPECT_EQ(code(), first);
    EXPECT_TRUE(sh.surface == firstPicture);
    EXPECT_EQ(sh.form.text("Text2"), "200");
    EXPECT_EQ(sh.form.text("Text3"), "16");
    EXPECT_TRUE(sh.form.checked("Option2"));
    EXPECT_TRUE(sh.form.checked("cpattern"));
    EXPECT_TRUE(sh.form.checked("ucolors"));
    EXPECT_EQ(sh.st.bbmv, 2);
    // "S" keeps the earlier drawing as a new file.
    EXPECT_EQ(sh.st.nosave, 0);
    ASSERT_TRUE(programEvents().keyDown(sh, Events::kWindow, 'S'));
    EXPECT_TRUE(std::filesystem::exists("pattern1.bmp"));

    click("prevdrawing"); // the first drawing of the session came from start-up's main page
    click("prevdrawing");
    click("nextdrawing");
    click("nextdrawing");
    click("nextdrawing");
    EXPECT_EQ(code(), second);
    EXPECT_TRUE(sh.picture1 == secondPicture);
    EXPECT_EQ(sh.form.text("Text2"), "120");
    EXPECT_TRUE(sh.form.checked("Option1"));
    EXPECT_TRUE(sh.form.checked("tcolor7"));

    // Going back and drawing anew drops what lay ahead.
    click("prevdrawing");
    click("Command1");
    const std::string third = code();
    click("nextdrawing");
    EXPECT_EQ(code(), third);
    click("prevdrawing");
    EXPECT_EQ(code(), first);
}

TEST_F(HistoryMenu, CodesAreCopiedAndTypedCodesAreCheckedBeforeTheyAreDrawn) {
    click("Command1");
    const std::string made = code();
    click("copycode");
    EXPECT_EQ(platform.copied, made);

    std::string typo = made;
    typo[1] = typo[1] == 'A' ? 'B' : 'A';
    platform.answer = typo;
    const RandomState mark = sh.rng.state();
    click("gotocode");
    EXPECT_EQ(platform.lastStatus.rfind("This is not a drawing code", 0), 0u);
    EXPECT_EQ(sh.rng.state(), mark) << "nothing was drawn";

    Drawing d;
    d.kind = DrawingKind::Shape;
    d.seed = 77;
    d.settings.size = 90;
    d.settings.colour.tcolor = 0;
    d.settings.colour.tcolor2 = 0;
    platform.answer = drawingCode(d);
    click("gotocode");
    EXPECT_EQ(code(), drawingCode(d));
    EXPECT_EQ(sh.form.text("Text2"), "90");
    EXPECT_TRUE(sh.form.checked("bcolor7"));
    d.width = 400;
    d.height = 300;
    EXPECT_TRUE(renderDrawing(d) == sh.picture1);
    click("prevdrawing");
    EXPECT_EQ(code(), made);
    // Pasted broken over lines, as a long code comes from a mail.
    platform.answer = made.substr(0, 6) + "\r\n" + made.substr(6) + "\n";
    click("gotocode");
    EXPECT_EQ(platform.lastStatus, "Drawing " + made);
}

TEST(CodeAtAnySize, APatternIsTheSameTileRepeatedOverALargerSurface) {
    Drawing d;
    d.seed = 31337;
    d.settings.size = 170;
    d.width = 1920;
    d.height = 1080;
    const Surface small = renderDrawing(d);
    d.width = 3840;
    d.height = 2160;
    const Surface large = renderDrawing(d);
    for (int y = 0; y < 1080; y += 3)
        for (int x = 0; x < 1920; x += 3)
            ASSERT_EQ(small.pixel(x, y), large.pixel(x, y)) << x << "," << y;
    d.kind = DrawingKind::Shape;
    const Surface shape = renderDrawing(d);
    d.width = 640;
    d.height = 480;
    EXPECT_TRUE(renderDrawing(d) == shape);
}
