// The "Palettes" menu: bundled palettes, import, export and a palette from a picture, on the
// drawing page and in the colour editor.
#include "app/editor.hpp"
#include "app/events.hpp"
#include "export/bundled.hpp"
#include "export/picturepalette.hpp"
#include "startup_support.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace vx;

namespace {

constexpr int32_t kRed = 0x0000FF, kBlue = 0xFF0000;

struct AnsweringPlatform : vx::testing::ScriptedPlatform {
    std::optional<std::string> open, save, choice;
    std::optional<Surface> picture;
    std::optional<std::string> askOpenFile(const std::string&, const std::string&) override {
        return open;
    }
    std::optional<std::string> askSaveFile(const std::string&, const std::string&,
                                           const std::string&) override {
        return save;
    }
    std::optional<std::string> askChoice(const std::string&, const std::string&,
                                         const std::vector<std::string>&, int) override {
        return choice;
    }
    Result<Surface> readPicture(const std::string&) override {
        if (!picture) return fail("it is not a picture");
        return *picture;
    }
};

struct PaletteMenu : ::testing::Test {
    vx::testing::InEmptyFolder folder;
    AnsweringPlatform platform;
    Shapes sh{platform};
    void SetUp() override {
        startup(sh);
        command4Click(sh);
        mainLoopTick(sh);
    }
    void click(const std::string& name) { ASSERT_TRUE(programEvents().click(sh, name)) << name; }
    std::vector<int32_t> list() const {
        std::vector<int32_t> out;
        for (size_t i = 1; i <= 64 && sh.st.colorlist[i] != 0; ++i)
            out.push_back(sh.st.colorlist[i]);
        return out;
    }
    void setList(const std::vector<int32_t>& l) {
        std::fill(sh.st.colorlist.begin(), sh.st.colorlist.end(), 0);
        std::copy(l.begin(), l.end(), sh.st.colorlist.begin() + 1);
    }
    bool said(const std::string& part) const {
        return platform.lastStatus.find(part) != std::string::npos;
    }
};

TEST_F(PaletteMenu, ABundledPaletteReplacesTheListOnTheDrawingPageAndInTheEditor) {
    EXPECT_TRUE(sh.form.visible("palettes"));
    const BundledPalette* viridis = findBundled("viridis");
    ASSERT_NE(viridis, nullptr);
    setList({kRed, kBlue, 0x00FF00});
    click("palette:viridis");
    EXPECT_EQ(list(),
              std::vector<int32_t>(viridis->list.slots.begin(), viridis->list.slots.begin() + 16));
    EXPECT_EQ(platform.lastStatus, "Palette \"Viridis\" (16 colours) is the colour list. \"User "
                                   "defined colors\" draw with it from the next drawing.");
    click("tcolor7");
    click("palette:magma");
    EXPECT_TRUE(said("choose Options > Color mode > \"User defined colors\"."))
        << platform.lastStatus;

    // The editor's list shows the new colours at once.
    click("editcolors");
    EXPECT_TRUE(sh.form.visible("palettes"));
    click("palette:cmy");
    ASSERT_EQ(list().size(), 3u);
    EXPECT_EQ(sh.surface.pixel(kCellLeft + 40, kCellTop + 10), list()[0]);
    EXPECT_EQ(sh.st.numsquare, 4);
    // Not while a shade page is open.
    click("blue");
    click("palette:viridis");
    EXPECT_EQ(list().size(), 3u);
    EXPECT_EQ(platform.lastStatus, "Pick a shade first: palettes replace the list of colours.");
}

TEST_F(PaletteMenu, ImportAndExportKeepTheListOrSayWhyNot) {
    platform.save = "mine.ase";
    click("exportpalette");
    EXPECT_EQ(platform.lastStatus, "The colour list is empty: there is no palette to export.");
    setList({kRed, -3});
    click("exportpalette");
    EXPECT_EQ(platform.lastStatus, "Exported 2 colours as the Adobe Swatch Exchange file mine.ase. "
                                   "Its random shade is written as the full shade of its hue.");
    platform.save = "mine.doc";
    click("exportpalette");
    EXPECT_FALSE(std::filesystem::exists("mine.doc"));

    setList({kBlue});
    platform.open = "mine.ase";
    click("importpalette");
    EXPECT_EQ(list(), (std::vector<int32_t>{kRed, 0x00FF00}));
    EXPECT_TRUE(said("Imported the Adobe Swatch Exchange file mine.ase (2 colours)."))
        << platform.lastStatus;

    std::ofstream("bad.gpl") << "GIMP Palette\n1 2\n";
    platform.open = "bad.gpl";
    click("importpalette");
    EXPECT_EQ(list(), (std::vector<int32_t>{kRed, 0x00FF00}));
    EXPECT_EQ(platform.lastStatus,
              "bad.gpl was not imported: as a GIMP palette, line 2 is not a colour (three numbers "
              "from 0 to 255, then a name). The colour list was left as it was.");
    platform.open.reset();
    click("importpalette");
    EXPECT_EQ(platform.lastStatus, "No palette was imported.");
}

TEST_F(PaletteMenu, APictureGivesItsMainColoursLargestAreaFirst) {
    Surface photo(100, 10, kBlue); // 60 % blue, 30 % red, 10 % black
    photo.fillBox(60, 0, 89, 9, kRed);
    photo.fillBox(90, 0, 99, 9, 0);
    platform.open = "photo.png";
    platform.choice = "8";
    platform.picture = photo;
    click("picturepalette");
    EXPECT_EQ(list(), (std::vector<int32_t>{kBlue, kRed, kListBlack}));
    EXPECT_TRUE(said("Palette from photo.png: 3 colours by median cut in Lab, refined by k-means"))
        << platform.lastStatus;
    platform.picture.reset();
    click("picturepalette");
    EXPECT_EQ(list().size(), 3u);
    EXPECT_TRUE(said("The colour list was left as it was.")) << platform.lastStatus;
}

TEST(PicturePalette, AColourfulPictureGivesExactlyNColoursByShare) {
    Surface picture(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) picture.setPixel(x, y, x | (y << 8) | ((x * y / 255) << 16));
    for (int n : {8, 16, 32, 64}) {
        const std::vector<PictureColour> c = pictureColours(picture, n);
        ASSERT_EQ(c.size(), static_cast<size_t>(n));
        double total = 0;
        for (size_t i = 0; i < c.size(); ++i) {
            total += c[i].share;
            if (i > 0) {
                EXPECT_GE(c[i - 1].share, c[i].share);
            }
        }
        EXPECT_NEAR(total, 1.0, 1e-9);
    }
    EXPECT_TRUE(pictureColours(Surface(0, 0), 8).empty());
}

} // namespace
