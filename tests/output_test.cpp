#include "app/events.hpp"
#include "app/generators.hpp"
#include "app/keys.hpp"
#include "app/output.hpp"
#include "export/bmp.hpp"
#include "platform/files.hpp"
#include "scratch_folder.hpp"

#include <cstring>
#include <filesystem>
#include <functional>
#include <vector>

using namespace vx;

namespace {

// Counts prints and notes whether the options panel was on screen at that moment.
class RecordingPlatform : public Platform {
  public:
    Result<std::string> printWindow() override {
        ++prints;
        const ui::Form& f = window->form;
        panelShownWhilePrinting = f.visible("Label2") || f.visible("Text2") ||
                                  f.visible("Command1") || f.visible("Option2");
        pumpsBeforePrint = pumps;
        if (whilePrinting) whilePrinting();
        if (!printerWorks) return fail("the printer refused the job");
        return std::string("Printed.");
    }
    void pumpEvents() override { ++pumps; }
    int prints = 0, pumps = 0, pumpsBeforePrint = 0;
    bool panelShownWhilePrinting = false;
    bool printerWorks = true;
    const Shapes* window = nullptr;
    // Events that run while the page is on its way.
    std::function<void()> whilePrinting;
};

const char* const kShownPanel[] = {"Command1", "Label2", "Text2",  "Label9", "Text9",
                                   "Label8",   "Text10", "Label3", "Text3",  "Option1",
                                   "Option2",  "Label5", "Text5"};

void showPanel(Shapes& sh) {
    for (const char* n : kShownPanel) sh.form.setVisible(n, true);
}

// A finished pattern as the pattern generator leaves it.
void finishPattern(Shapes& sh) {
    sh.surface.resize(64, 48);
    sh.surface.fillBox(0, 0, 63, 47, 0x123456);
    sh.surface.setPixel(0, 0, 0x0000FF);
    sh.surface.setPixel(63, 47, 0xFF0000);
    sh.st.bbmv = 2;
    sh.st.nosave = 0;
    sh.form.setEnabled("sscreen", true);
    sh.form.setEnabled("pscreen", true);
}

// A finished single shape as the single-shape generator leaves it.
void finishShape(Shapes& sh) {
    sh.picture1.resize(42, 42);
    sh.picture1.fillBox(0, 0, 41, 41, 0x00FF00);
    sh.st.bbmv = 1;
    sh.st.nosave = 0;
    sh.form.setEnabled("sscreen", true);
    sh.form.setEnabled("pscreen", false);
}

struct Bmp {
    int width = 0, height = 0, bits = 0;
    std::vector<uint8_t> bytes;
    // Colour at (x, y) counted from the top, red in the low byte.
    int32_t at(int x, int y) const {
        const int stride = (width * 3 + 3) & ~3;
        const size_t o = 54 + static_cast<size_t>(height - 1 - y) * stride + x * 3;
        return bytes[o + 2] | (bytes[o + 1] << 8) | (bytes[o] << 16);
    }
};

Bmp readBmp(const std::string& text) {
    Bmp b;
    b.bytes.assign(text.begin(), text.end());
    if (text.size() < 54 || text.compare(0, 2, "BM") != 0) return b;
    auto le = [&](size_t o, int n) {
        uint32_t v = 0;
        for (int i = n - 1; i >= 0; --i) v = v << 8 | b.bytes[o + i];
        return v;
    };
    b.width = static_cast<int>(le(18, 4));
    b.height = static_cast<int>(le(22, 4));
    b.bits = static_cast<int>(le(28, 2));
    EXPECT_EQ(le(2, 4), text.size());
    EXPECT_EQ(le(10, 4), 54u);
    EXPECT_EQ(le(30, 4), 0u);
    return b;
}

class Keeping : public scratch::ScratchFolder {
  protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        platform.window = &sh;
    }
    RecordingPlatform platform;
    Shapes sh{platform};
    const Events& ev = programEvents();
};

} // namespace

TEST_F(Keeping, APatternIsSavedAsTheWholeWindowIn24Bits) {
    finishPattern(sh);
    ASSERT_TRUE(ev.click(sh, "sscreen"));
    ASSERT_TRUE(exists("pattern1.bmp"));
    const Bmp b = readBmp(readAll("pattern1.bmp"));
    EXPECT_EQ(b.width, 64);
    EXPECT_EQ(b.height, 48);
    EXPECT_EQ(b.bits, 24);
    EXPECT_EQ(b.bytes.size(), 54u + 48 * 192);
    EXPECT_EQ(b.at(0, 0), 0x0000FF);
    EXPECT_EQ(b.at(63, 47), 0xFF0000);
    EXPECT_EQ(b.at(10, 10), 0x123456);
    EXPECT_EQ(sh.st.nosave, 1);
    EXPECT_FALSE(sh.form.enabled("sscreen"));
    EXPECT_EQ(platform.lastStatus, "Saved as pattern1.bmp in " + dir_.string() + ".");
    EXPECT_FALSE(exists("pattern1.bmp.tmp"));
}

TEST_F(Keeping, RowsArePaddedToFourBytes) {
    Surface s(3, 2, 0x010203);
    const Bmp b = readBmp(encodeBmp24(s));
    EXPECT_EQ(b.bytes.size(), 54u + 2 * 12);
    EXPECT_EQ(b.at(2, 1), 0x010203);
    EXPECT_EQ(b.bytes[54 + 9], 0); // padding
}

TEST_F(Keeping, ASingleShapeIsSavedFromItsPicture) {
    finishShape(sh);
    sh.surface.fillBox(0, 0, 2000, 2000, 0x0000FF);
    ASSERT_TRUE(saveDrawing(sh));
    const Bmp b = readBmp(readAll("shape1.bmp"));
    EXPECT_EQ(b.width, 42);
    EXPECT_EQ(b.height, 42);
    EXPECT_EQ(b.at(20, 20), 0x00FF00);
    EXPECT_FALSE(exists("pattern1.bmp"));
}

TEST_F(Keeping, NumbersFillGapsAndTheSeriesAreIndependent) {
    writeAll("shape1.bmp", "x");
    writeAll("shape3.bmp", "x");
    std::filesystem::create_directory("pattern1.bmp"); // any name in use counts as taken
    finishShape(sh);
    ASSERT_TRUE(saveDrawing(sh));
    EXPECT_EQ(platform.lastStatus, "Saved as shape2.bmp in " + dir_.string() + ".");
    EXPECT_EQ(readAll("shape1.bmp"), "x");
    finishShape(sh);
    ASSERT_TRUE(saveDrawing(sh));
    EXPECT_TRUE(exists("shape4.bmp"));
    finishPattern(sh);
    ASSERT_TRUE(saveDrawing(sh));
    EXPECT_TRUE(exists("pattern2.bmp"));
}

TEST_F(Keeping, TheNumberSearchIsBounded) {
    for (const char* n : {"p1.bmp", "p2.bmp", "p3.bmp"}) writeAll(n, "");
    EXPECT_EQ(firstFreeNumber("p", ".bmp", 3), 0);
    EXPECT_EQ(firstFreeNumber("p", ".bmp", 4), 4);
    EXPECT_EQ(firstFreeNumber("q", ".bmp", 3), 1);
}

TEST_F(Keeping, TwoSavesOfOneDrawingWriteOneFile) {
    finishPattern(sh);
    EXPECT_TRUE(printSaveKey(sh, kKeyS));
    EXPECT_TRUE(printSaveKey(sh, kKeyS));
    EXPECT_EQ(platform.lastStatus,
              "This drawing is already saved as pattern1.bmp in " + dir_.string() + ".");
    EXPECT_TRUE(ev.click(sh, "sscreen"));
    EXPECT_TRUE(exists("pattern1.bmp"));
    EXPECT_FALSE(exists("pattern2.bmp"));
    // Once its file is gone, the drawing is saved again.
    std::filesystem::remove("pattern1.bmp");
    EXPECT_TRUE(printSaveKey(sh, kKeyS));
    EXPECT_EQ(platform.lastStatus, "Saved as pattern1.bmp in " + dir_.string() + ".");
    EXPECT_TRUE(exists("pattern1.bmp"));
    // The next drawing may be saved again.
    finishPattern(sh);
    EXPECT_TRUE(printSaveKey(sh, kKeyS));
    EXPECT_TRUE(exists("pattern2.bmp"));
}

TEST_F(Keeping, SBeforeAnyDrawingWritesNothingAndDisablesTheItem) {
    EXPECT_TRUE(ev.keyDown(sh, Events::kWindow, kKeyS));
    EXPECT_TRUE(std::filesystem::is_empty("."));
    EXPECT_FALSE(sh.form.enabled("sscreen"));
    EXPECT_EQ(sh.st.nosave, 1);
}

TEST_F(Keeping, AFailedSaveIsNotCountedAsSaved) {
    finishShape(sh);
    failSyncsForTests(true); // the disk fails under the file
    EXPECT_FALSE(saveDrawing(sh));
    failSyncsForTests(false);
    EXPECT_EQ(sh.st.nosave, 0);
    EXPECT_TRUE(sh.form.enabled("sscreen"));
    EXPECT_FALSE(exists("shape1.bmp"));
    EXPECT_NE(platform.lastStatus.find("not saved as shape1.bmp"), std::string::npos)
        << platform.lastStatus;
    // Once the cause is gone, the same drawing saves.
    EXPECT_TRUE(saveDrawing(sh));
    EXPECT_TRUE(exists("shape1.bmp"));
}

TEST_F(Keeping, ASaveIntoAnUnwritableFolderIsNotCountedAsSaved) {
    finishPattern(sh);
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path("/proc"); // no file can be created here, not even by root
    const bool saved = saveDrawing(sh);
    std::filesystem::current_path(here);
    EXPECT_FALSE(saved);
    EXPECT_EQ(sh.st.nosave, 0);
    EXPECT_TRUE(sh.form.enabled("sscreen"));
    EXPECT_NE(platform.lastStatus.find("not saved"), std::string::npos);
}

TEST_F(Keeping, PrintingTakesThePanelOffAndPutsItBack) {
    finishPattern(sh);
    showPanel(sh);
    EXPECT_TRUE(ev.keyDown(sh, Events::kWindow, kKeyP));
    EXPECT_EQ(platform.prints, 1);
    EXPECT_FALSE(platform.panelShownWhilePrinting);
    EXPECT_GE(platform.pumpsBeforePrint, 1); // the window repaints before the page is taken
    EXPECT_EQ(sh.st.hhfd, 1);
    for (const char* n : kShownPanel) EXPECT_TRUE(sh.form.visible(n)) << n;
    for (const char* n : {"Label1", "Text1", "Label4", "Text4"}) EXPECT_FALSE(sh.form.visible(n));
    EXPECT_EQ(platform.lastStatus, "Printed.");
}

TEST_F(Keeping, WhileThePageIsOnItsWayASecondPrintWaitsAndTheSaverKeepsThePanelHidden) {
    finishPattern(sh);
    showPanel(sh);
    std::string meanwhile;
    platform.whilePrinting = [&] {
        platform.whilePrinting = nullptr;
        EXPECT_TRUE(ev.keyDown(sh, Events::kWindow, kKeyP));
        meanwhile = platform.lastStatus;
        EXPECT_TRUE(ev.click(sh, "ssaver"));
    };
    printScreen(sh);
    EXPECT_EQ(platform.prints, 1);
    EXPECT_EQ(meanwhile, "Already printing: the page before is still on its way.");
    EXPECT_EQ(sh.st.ssmode, 1);
    for (const char* n : kShownPanel) EXPECT_FALSE(sh.form.visible(n)) << n;
    EXPECT_EQ(platform.lastStatus, "Printed.");
    // The next print is obeyed again.
    printScreen(sh);
    EXPECT_EQ(platform.prints, 2);
}

TEST_F(Keeping, PrintingWithoutThePanelLeavesItHidden) {
    finishPattern(sh);
    EXPECT_TRUE(ev.click(sh, "pscreen"));
    EXPECT_EQ(platform.prints, 1);
    EXPECT_EQ(sh.st.hhfd, 0);
    for (const char* n : kShownPanel) EXPECT_FALSE(sh.form.visible(n)) << n;
}

TEST_F(Keeping, AFailedPrintSaysSoAndShowsThePanelAgain) {
    finishPattern(sh);
    showPanel(sh);
    platform.printerWorks = false;
    printScreen(sh);
    EXPECT_TRUE(sh.form.visible("Label2"));
    EXPECT_EQ(platform.lastStatus, "Not printed: the printer refused the job.");
}

TEST_F(Keeping, PAfterASingleShapeDoesNothing) {
    finishShape(sh);
    showPanel(sh);
    EXPECT_TRUE(ev.keyDown(sh, "Text3", 'P'));
    EXPECT_TRUE(ev.keyDown(sh, Events::kWindow, 'P'));
    EXPECT_EQ(platform.prints, 0);
    EXPECT_TRUE(sh.form.visible("Label2"));
    EXPECT_EQ(platform.lastStatus,
              "\"P\" prints patterns only; a single shape is on screen (\"S\" saves it).");
    // And before any drawing.
    sh.st.bbmv = 0;
    EXPECT_TRUE(ev.keyDown(sh, Events::kWindow, 'P'));
    EXPECT_EQ(platform.prints, 0);
    EXPECT_EQ(platform.lastStatus, "Nothing has been drawn yet, so nothing was printed.");
}

TEST_F(Keeping, PAndSWorkOnEveryControlWithKeysAndNeverStayInAField) {
    for (const char* name : {"Text2", "Text3", "Text5", "Text9", "Text10"}) {
        finishPattern(sh);
        sh.form.setText(name, "12");
        EXPECT_TRUE(ev.keyDown(sh, name, kKeyS)) << name;
        EXPECT_TRUE(ev.keyDown(sh, name, kKeyP)) << name;
        EXPECT_EQ(sh.form.text(name), "12");
        EXPECT_EQ(sh.st.nosave, 1) << name;
        // Any other key is the field's own.
        EXPECT_FALSE(ev.keyDown(sh, name, 'A'));
        EXPECT_FALSE(ev.keyDown(sh, name, '5'));
    }
    for (const char* name : {"Command1", "Option1", "Option2", Events::kWindow}) {
        finishPattern(sh);
        EXPECT_TRUE(ev.keyDown(sh, name, kKeyS)) << name;
        EXPECT_TRUE(ev.keyDown(sh, name, kKeyP)) << name;
        EXPECT_FALSE(ev.keyDown(sh, name, 'Q'));
    }
    EXPECT_EQ(platform.prints, 9);
    EXPECT_TRUE(exists("pattern9.bmp"));
    EXPECT_FALSE(exists("pattern10.bmp"));
}

TEST_F(Keeping, ARealSingleShapeSavesItsPicture) {
    sh.rng.seed(7);
    sh.form.setText("Text2", "60");
    makeshape(sh);
    ASSERT_EQ(sh.st.bbmv, 1);
    ASSERT_EQ(sh.st.nosave, 0);
    EXPECT_TRUE(ev.keyDown(sh, "Text2", kKeyS));
    const Bmp b = readBmp(readAll("shape1.bmp"));
    EXPECT_EQ(b.width, sh.picture1.width());
    EXPECT_EQ(b.height, sh.picture1.height());
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            ASSERT_EQ(b.at(x, y), sh.picture1.pixel(x, y)) << x << "," << y;
}

TEST_F(Keeping, AutoSaveAndAutoPrintOnlyKeepTheirMarks) {
    EXPECT_TRUE(ev.click(sh, "saveon"));
    EXPECT_EQ(sh.st.asavex, 1);
    EXPECT_TRUE(sh.form.checked("saveon"));
    EXPECT_FALSE(sh.form.checked("saveoff"));
    EXPECT_TRUE(ev.click(sh, "printon"));
    EXPECT_EQ(sh.st.aprintx, 1);
    EXPECT_TRUE(sh.form.checked("printon"));
    EXPECT_FALSE(sh.form.checked("printoff"));
    EXPECT_TRUE(ev.click(sh, "saveoff"));
    EXPECT_TRUE(ev.click(sh, "printoff"));
    EXPECT_EQ(sh.st.asavex, 0);
    EXPECT_EQ(sh.st.aprintx, 0);
    EXPECT_TRUE(sh.form.checked("saveoff"));
    EXPECT_TRUE(sh.form.checked("printoff"));
    EXPECT_FALSE(sh.form.checked("saveon"));
    EXPECT_FALSE(sh.form.checked("printon"));
    EXPECT_TRUE(std::filesystem::is_empty("."));
    EXPECT_EQ(platform.prints, 0);
}

TEST_F(Keeping, PAndSDoNothingWhileTheColourEditorIsOpen) {
    finishPattern(sh);
    sh.st.colormode4 = 1;
    EXPECT_TRUE(ev.keyDown(sh, Events::kWindow, kKeyS));
    EXPECT_TRUE(ev.keyDown(sh, Events::kWindow, kKeyP));
    EXPECT_TRUE(std::filesystem::is_empty("."));
    EXPECT_EQ(platform.prints, 0);
    EXPECT_EQ(sh.st.nosave, 0);
    sh.st.colormode4 = 0;
    EXPECT_TRUE(ev.keyDown(sh, Events::kWindow, kKeyS));
    EXPECT_TRUE(exists("pattern1.bmp"));
}
