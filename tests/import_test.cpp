// The import page as its handlers drive it, with pictures the test hands to the platform.
#include "app/colourmenu.hpp"
#include "app/events.hpp"
#include "app/generators.hpp"
#include "app/history.hpp"
#include "model/code.hpp"
#include "startup_support.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>

using namespace vx;

namespace {

// A desktop whose pictures are the test's.
struct PicturePlatform : vx::testing::ScriptedPlatform {
    std::map<std::string, Surface> pictures;
    Result<Surface> readPicture(const std::string& file) override {
        auto it = pictures.find(file);
        if (it == pictures.end()) return fail("not a picture");
        return it->second;
    }
};

const char* const kPage[] = {"Label7", "Text8", "File1", "Command6", "Command7"};

struct Import : ::testing::Test {
    vx::testing::InEmptyFolder folder;
    PicturePlatform platform;
    Shapes sh{platform};
    void SetUp() override {
        startup(sh);
        command4Click(sh);
        mainLoopTick(sh);
    }
    void click(const char* name) { ASSERT_TRUE(programEvents().click(sh, name)) << name; }
    // Opens the page, chooses a file by name and presses "Done".
    void importFrom(const std::string& name) {
        click("impcolor");
        sh.form.setText("Text8", name);
        click("Command6");
    }
    std::vector<int32_t> scale() const {
        return {sh.st.importcolors.begin() + 1,
                sh.st.importcolors.begin() + 1 + static_cast<long>(sh.st.cgf)};
    }
};

} // namespace

TEST_F(Import, ThePageReplacesThePanelAndDoneWithoutAFileGivesAnEmptyScale) {
    std::ofstream("a.bmp") << "x";
    std::ofstream("b.BMP") << "x";
    std::ofstream("c.palette") << "x";
    click("impcolor");
    for (const char* n : kPage) EXPECT_TRUE(sh.form.visible(n)) << n;
    EXPECT_FALSE(sh.form.visible("Label2"));
    EXPECT_EQ(sh.form.get("File1").items, (std::vector<std::string>{"a.bmp", "b.BMP"}));
    sh.form.select("File1", 1);
    click("File1");
    EXPECT_EQ(sh.form.text("Text8"), "b.BMP");
    click("Command7"); // "Cancel" does nothing: the page stays
    EXPECT_TRUE(sh.form.visible("Command6"));

    sh.form.setText("Text8", "");
    sh.st.cgf = 3;
    click("Command6");
    EXPECT_EQ(sh.st.cgf, 0);
    for (const char* n : kPage) EXPECT_FALSE(sh.form.visible(n)) << n;
    EXPECT_FALSE(sh.form.visible("Picture2"));
    EXPECT_TRUE(sh.form.visible("Label2"));
    EXPECT_TRUE(sh.form.checked("regmode"));
}

TEST_F(Import, TheScaleIsWhatShowsInTheBoxInTheOrderFirstMet) {
    // One black stroke on white.
    Surface stroke(100, 80);
    stroke.segment(10, 40, 90, 40, 0);
    platform.pictures["stroke.bmp"] = stroke;
    importFrom("stroke.bmp");
    EXPECT_EQ(scale(), (std::vector<int32_t>{0}));

    // Larger than the box (305 x 225): what lies outside it, and column 0, counts for nothing;
    // white, light grey and the border colour are skipped.
    Surface big(400, 300);
    big.setPixel(0, 5, 111);        // column 0
    big.setPixel(350, 5, 222);      // right of the box
    big.setPixel(5, 250, 333);      // below it
    big.setPixel(7, 1, 444);        // second row
    big.setPixel(9, 0, qbColor(7)); // light grey
    big.setPixel(8, 0, kBorder);
    big.setPixel(20, 0, 555);    // first row, after the border colour
    big.setPixel(304, 224, 666); // the last point of the box
    big.setPixel(3, 100, 555);   // again
    platform.pictures["big.bmp"] = big;
    importFrom("big.bmp");
    EXPECT_EQ(scale(), (std::vector<int32_t>{555, 444, 666}));
    EXPECT_NE(platform.lastStatus.find("3 colours"), std::string::npos);
}

TEST_F(Import, AnUnreadableFileKeepsTheOldScaleClosesThePageAndSaysWhy) {
    platform.pictures["one.bmp"] = Surface(10, 10, 4242);
    importFrom("one.bmp");
    ASSERT_EQ(scale(), (std::vector<int32_t>{4242}));
    for (const char* name : {"damaged.bmp", "../up.bmp"}) {
        importFrom(name);
        EXPECT_EQ(scale(), (std::vector<int32_t>{4242})) << name;
        EXPECT_FALSE(sh.form.visible("Command6"));
        EXPECT_NE(platform.lastStatus.find(name), std::string::npos) << platform.lastStatus;
    }
}

TEST_F(Import, DrawingsWithTheScaleUseOnlyItsColours) {
    Surface two(20, 20, 0x3366CC);
    two.fillBox(0, 10, 19, 19, 0xCC6633);
    platform.pictures["two.bmp"] = two;
    importFrom("two.bmp");
    ASSERT_TRUE(selectImportedScale(sh));
    click("tcolor7"); // no recolouring by the list
    sh.st.tcolor = 2; // and the scale as the source
    for (const char* kind : {"cpattern", "csingle"}) {
        click(kind);
        click("Command1");
        for (int y = 0; y < sh.surface.height(); y += 2)
            for (int x = 0; x < sh.surface.width(); x += 2) {
                const int32_t c = sh.surface.pixel(x, y);
                ASSERT_TRUE(c == kBorder || c == 0x3366CC || c == 0xCC6633) << kind << " " << c;
            }
    }
    // The drawing's code brings back its scale, whatever scale is imported since.
    const Surface drawn = sh.picture1;
    const std::string code = *sh.history.current();
    platform.pictures["other.bmp"] = Surface(10, 10, 0x00AA00);
    importFrom("other.bmp");
    click("Command1");
    showDrawing(sh, *decodeDrawing(code), false);
    EXPECT_TRUE(sh.picture1 == drawn);
    EXPECT_EQ(scale(), (std::vector<int32_t>{0x3366CC, 0xCC6633}));
}
