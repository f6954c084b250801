// The colour editor and its palette pages through the real window on Qt's offscreen platform,
// with mouse clicks at the documented pixel places of the window's drawing area.
#include "../scratch_folder.hpp"
#include "app/editor.hpp"
#include "app/startup.hpp"
#include "engine/shades.hpp"
#include "qt/app.hpp"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

using namespace vx;

namespace {

constexpr int32_t kRed = 255, kGreen = 65280, kBlue = 16711680;

class Editor : public scratch::ScratchFolder {
  protected:
    std::unique_ptr<Program> program;
    Shapes& sh() { return program->shapes(); }
    MainWindow& w() { return program->window(); }

    void SetUp() override {
        ScratchFolder::SetUp();
        program = std::make_unique<Program>();
        program->start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return sh().loop.phase == kMainPage; }, 5000));
        QTest::mouseClick(button("Command4"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return sh().loop.phase == kMainLoop; }, 5000));
    }
    void TearDown() override {
        program.reset();
        ScratchFolder::TearDown();
    }

    QPushButton* button(const char* name) { return qobject_cast<QPushButton*>(w().control(name)); }
    void press(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void choose(const char* item) { w().menuItem(item)->trigger(); }
    void clickAt(int x, int y) {
        QTest::mouseClick(w().canvas(), Qt::LeftButton, {}, QPoint(x, y));
    }
    // Cell i of the list page (the first row holds them all on this window).
    void clickCell(int i) { clickAt(kCellLeft + (i - 1) * kCellStepX + 20, kCellTop + 10); }
    int32_t px(int x, int y) { return sh().surface.pixel(x, y); }
    int32_t swatch(int i) { return px(kCellLeft + (i - 1) * kCellStepX + 42, kCellTop + 10); }
    int32_t frame(int i) { return px(kCellLeft + (i - 1) * kCellStepX + 27, kCellTop - 2); }

    void openWith(std::initializer_list<int32_t> colours) {
        State& st = sh().st;
        int i = 1;
        for (int32_t c : colours) st.colorlist[static_cast<size_t>(i++)] = c;
        st.numcolors = i;
        choose("editcolors");
        ASSERT_EQ(st.colormode4, 1);
    }
    std::vector<int32_t> list() {
        std::vector<int32_t> out;
        for (size_t i = 1; sh().st.colorlist[i] != 0; ++i) out.push_back(sh().st.colorlist[i]);
        return out;
    }
    void typeName(const char* field, const QString& text) {
        auto* t = qobject_cast<QLineEdit*>(w().control(field));
        t->setFocus();
        t->selectAll();
        QTest::keyClicks(t, text);
    }
};

} // namespace

TEST_F(Editor, OpensWithTheListAsCellsAndTheDrawingKept) {
    sh().surface.resize(1300, 1100);
    sh().surface.fillBox(0, 0, 5000, 5000, 0x123456);
    openWith({kRed, kGreen});
    EXPECT_EQ(swatch(1), kRed);
    EXPECT_EQ(swatch(2), kGreen);
    EXPECT_EQ(swatch(3), kWhite);
    EXPECT_EQ(frame(1), qbColor(0));
    EXPECT_EQ(frame(3), qbColor(12)); // the empty cell is selected
    EXPECT_EQ(px(1200, 1050), kWhite) << "the whole window is the editor's";
    EXPECT_TRUE(w().menuItem("scolor")->isEnabled());
    EXPECT_TRUE(w().control("Label6")->isVisible());
    EXPECT_FALSE(w().control("Label2")->isVisible());
    for (const char* m : {"cop", "cop2", "options2", "palettes"})
        EXPECT_TRUE(w().menuItem(m)->isVisible()) << m;
    for (const char* m : {"options", "patmode", "history", "export", "explore"})
        EXPECT_FALSE(w().menuItem(m)->isVisible()) << m;
    // Written once the editor is on screen.
    EXPECT_TRUE(QTest::qWaitFor([&] { return exists(kDrawingKeptFile); }, 2000));
}

TEST_F(Editor, CellsAreSelectedByClickingAndTheButtonsKeepTheirConditions) {
    openWith({kRed, kGreen, kBlue});
    clickCell(1);
    EXPECT_EQ(sh().st.numsquare, 1);
    EXPECT_EQ(frame(1), qbColor(12));
    EXPECT_EQ(frame(4), qbColor(0));
    EXPECT_FALSE(w().menuItem("scolor")->isEnabled());
    press("Command9"); // up from slot 1: nothing
    EXPECT_EQ(list(), (std::vector<int32_t>{kRed, kGreen, kBlue}));
    clickCell(3);
    press("Command10"); // down from the last filled slot: nothing
    EXPECT_EQ(list(), (std::vector<int32_t>{kRed, kGreen, kBlue}));
    press("Command9");
    EXPECT_EQ(list(), (std::vector<int32_t>{kRed, kBlue, kGreen}));
    EXPECT_EQ(sh().st.numsquare, 2);
    clickCell(4);
    EXPECT_TRUE(w().menuItem("scolor")->isEnabled());
    press("Command2"); // the empty last cell: nothing
    EXPECT_EQ(list().size(), 3u);
    clickCell(2);
    press("Command2");
    EXPECT_EQ(list(), (std::vector<int32_t>{kRed, kGreen}));
    EXPECT_EQ(sh().st.numsquare, 3);
    EXPECT_EQ(sh().st.numcolors, 3);
    EXPECT_EQ(swatch(3), kWhite);
    press("Command8");
    EXPECT_TRUE(list().empty());
    EXPECT_EQ(sh().st.numsquare, 1);
    clickAt(kCellLeft + 60, kCellTop + 10); // between two cells: nothing
    EXPECT_EQ(sh().st.numsquare, 1);
}

TEST_F(Editor, ShadePagesPickOnlyInsideTheirAreaAndChoosersReplaceEachOther) {
    openWith({kRed});
    choose("blue");
    EXPECT_EQ(sh().st.colormode4, 2);
    EXPECT_TRUE(w().control("Label10")->isVisible());
    EXPECT_FALSE(w().menuItem("options2")->isVisible());
    EXPECT_FALSE(w().menuItem("white")->isEnabled());
    EXPECT_EQ(px(kSwatchLeft + 10, kSwatchTop + 10), kBlueShades[1]);
    sh().surface.setPixel(500, 500, 77);
    choose("blue"); // the same page again is not drawn again
    EXPECT_EQ(px(500, 500), 77);
    choose("red");
    EXPECT_TRUE(w().control("Label11")->isVisible());
    EXPECT_FALSE(w().control("Label10")->isVisible());
    EXPECT_EQ(px(kSwatchLeft + 10, kSwatchTop + 10), kRedShades[1]);

    clickAt(kSwatchLeft + kSwatchWidth + 10, kSwatchTop + 10); // the white gap
    clickAt(kPickRight + 5, kSwatchTop + 10);
    EXPECT_EQ(sh().st.colormode4, 2);
    clickAt(kSwatchLeft + kSwatchStepX + 10, kSwatchTop + 10); // the second red shade
    EXPECT_EQ(sh().st.colormode4, 1);
    EXPECT_EQ(list(), (std::vector<int32_t>{kRed, kRedShades[2]}));
    EXPECT_EQ(sh().st.numsquare, 3);
    EXPECT_TRUE(w().menuItem("options2")->isVisible());
    EXPECT_TRUE(w().menuItem("white")->isEnabled());

    // "Choose Random Shade" under the swatches stores the chooser's code.
    choose("green");
    ASSERT_TRUE(button("Command11")->isVisible());
    press("Command11");
    EXPECT_EQ(list().back(), -3);
    EXPECT_FALSE(button("Command11")->isVisible());
    EXPECT_TRUE(w().menuItem("options2")->isVisible());
}

TEST_F(Editor, WhiteStopsAtSlotSixtyFourWhereAShadeMovesOnToSixtyFive) {
    std::vector<int32_t> many(63, kRed);
    State& st = sh().st;
    for (size_t i = 1; i <= 63; ++i) st.colorlist[i] = kRed;
    st.numcolors = 64;
    choose("editcolors");
    ASSERT_EQ(st.numsquare, 64);
    sh().st.tcolor2 = 0; // true colour: the status line says how to use the list
    choose("white");
    EXPECT_EQ(st.colorlist[64], 16777213);
    EXPECT_EQ(st.numsquare, 64);
    EXPECT_NE(w().statusText().indexOf("\"User defined colors\""), -1);
    choose("blue");
    clickAt(kSwatchLeft + 10, kSwatchTop + 10);
    EXPECT_EQ(st.colorlist[64], kBlueShades[1]);
    EXPECT_EQ(st.numsquare, 65);
    for (int i = 1; i <= 64; ++i) ASSERT_NE(frame(i), qbColor(12)) << i;
    choose("black"); // slot 65, which no file keeps
    EXPECT_EQ(st.colorlist[65], kListBlack);
}

TEST_F(Editor, PalettesAreSavedAndLoadedAsExactFilesAndBadNamesAreRefused) {
    openWith({kRed, kGreen, kBlue, -3});
    choose("scolor");
    EXPECT_EQ(sh().st.colormode4, 3);
    EXPECT_FALSE(w().menuItem("options2")->isEnabled());
    const std::pair<const char*, const char*> refused[] = {{"../up", "cannot hold \"/\""},
                                                           {"a/b", "cannot hold \"/\""},
                                                           {"  ", "Type a name"},
                                                           {".hidden", "cannot start with \".\""},
                                                           {"two\nlines", "control characters"},
                                                           {"tab\there", "control characters"},
                                                           {"esc\x1b[0m", "control characters"}};
    for (const auto& [bad, why] : refused) {
        sh().form.setText("Text11", bad); // as typed or pasted
        press("Command12");
        EXPECT_EQ(sh().st.colormode4, 3) << bad;
        EXPECT_NE(w().statusText().indexOf(why), -1)
            << bad << ": " << w().statusText().toStdString();
    }
    typeName("Text11", "warm.colours");
    press("Command12");
    EXPECT_EQ(sh().st.colormode4, 1);
    std::string expected;
    for (long v : {255L, 65280L, 16711680L}) expected += " " + std::to_string(v) + " \r\n";
    expected += "-3 \r\n";
    for (int i = 5; i <= 64; ++i) expected += " 0 \r\n";
    expected += " 5 \r\n";
    EXPECT_EQ(readAll("warm.palette"), expected);
    EXPECT_FALSE(exists("../up.palette"));
    // Saving over it asks first.
    sh().st.colorlist[1] = kBlue;
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        choose("scolor");
        typeName("Text11", "warm");
        QTimer::singleShot(0, [answer] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->button(answer)->click();
        });
        press("Command12");
        if (answer == QMessageBox::No) {
            EXPECT_EQ(sh().st.colormode4, 3);
            EXPECT_EQ(readAll("warm.palette"), expected);
            EXPECT_NE(w().statusText().indexOf("kept as it was"), -1);
            press("Command13");
        }
    }
    EXPECT_EQ(sh().st.colormode4, 1);
    EXPECT_EQ(readAll("warm.palette"), " 16711680 " + expected.substr(expected.find('\r')));
    sh().st.colorlist[1] = kRed;
    writeAll("warm.palette", expected);

    writeAll("empty.palette", " 0 \r\n 255 \r\n");
    writeAll("apple.palette", "not a palette at all");
    choose("lcolor");
    EXPECT_EQ(sh().st.colormode4, 4);
    auto* files = qobject_cast<QListWidget*>(w().control("File2"));
    ASSERT_EQ(files->count(), 3);
    EXPECT_EQ(qobject_cast<QLineEdit*>(w().control("Text7"))->text(), "apple.palette");
    press("Command12"); // a damaged file loads what it can and says so
    EXPECT_TRUE(list().empty());
    EXPECT_NE(w().statusText().indexOf("damaged"), -1);

    // Loaded over a drawing code's long list, it is the whole list; in another colour mode
    // the status line says how to draw with it.
    std::fill(sh().st.colorlist.begin() + 5, sh().st.colorlist.begin() + 5000, kGreen);
    sh().st.tcolor2 = 0;
    choose("lcolor");
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                      files->visualItemRect(files->item(2)).center());
    EXPECT_EQ(sh().st.palettename, "warm.palette");
    press("Command12");
    EXPECT_EQ(list(), (std::vector<int32_t>{kRed, kGreen, kBlue, -3}));
    EXPECT_EQ(sh().st.colorlist[65], 0);
    EXPECT_EQ(sh().st.numsquare, 5);
    EXPECT_NE(w().statusText().indexOf("\"User defined colors\""), -1);
    sh().st.tcolor2 = 1;

    choose("lcolor");
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                      files->visualItemRect(files->item(1)).center());
    press("Command13"); // "Cancel" loads nothing
    EXPECT_EQ(list().size(), 4u);
    choose("lcolor");
    press("Command12");
    EXPECT_EQ(list(), (std::vector<int32_t>{255})) << "slot 1 empty: the colour closes up";
    EXPECT_EQ(sh().st.numsquare, 2);
}

TEST_F(Editor, QuitToMainPageBringsTheDrawingBackAndTheListIsUsedNext) {
    sh().surface.fillBox(0, 0, 5000, 5000, 0x123456);
    openWith({kRed});
    choose("quit2");
    EXPECT_EQ(sh().st.colormode4, 0);
    EXPECT_EQ(px(300, 300), 0x123456);
    EXPECT_TRUE(w().control("Label2")->isVisible());
    EXPECT_TRUE(w().menuItem("options")->isVisible());
    EXPECT_FALSE(w().menuItem("cop")->isVisible());
    EXPECT_TRUE(w().menuItem("regmode")->isEnabled());
    // The next drawing in user-defined colours gives its largest area the list's red.
    press("Command1");
    bool red = false;
    for (int y = 0; y < sh().surface.height() && !red; y += 3)
        for (int x = 0; x < sh().surface.width() && !red; x += 3) red = px(x, y) == kRed;
    EXPECT_TRUE(red);
}

TEST_F(Editor, TheDrawingComesBackFromMemoryWhenItsFileCannotServe) {
    // Removed while the editor was open.
    sh().surface.fillBox(0, 0, 5000, 5000, 0x123456);
    choose("editcolors");
    ASSERT_TRUE(QTest::qWaitFor([&] { return exists(kDrawingKeptFile); }, 2000));
    std::filesystem::remove(kDrawingKeptFile);
    choose("quit2");
    EXPECT_EQ(px(300, 300), 0x123456);
    // Never written: a folder has taken its name.
    sh().surface.fillBox(0, 0, 5000, 5000, 0x654321);
    std::filesystem::create_directory(kDrawingKeptFile);
    choose("editcolors");
    EXPECT_TRUE(QTest::qWaitFor([&] { return w().statusText().indexOf("memory") != -1; }, 2000))
        << w().statusText().toStdString();
    choose("quit2");
    EXPECT_EQ(px(300, 300), 0x654321);
}

TEST_F(Editor, ScreenSaverModeGoesOnWhereItWasWhenTheEditorCloses) {
    sh().st.colorlist[1] = kRed;
    choose("csingle");
    choose("ssaver");
    State& st = sh().st;
    st.abb = 123;
    st.dbb = 45;
    st.awb = -0.01;
    st.bwb = 0.01;
    choose("editcolors");
    EXPECT_FALSE(w().control("Picture1")->isVisible());
    EXPECT_EQ(st.colormode4, 1);
    const RandomState mark = sh().rng.state();
    w().dispatchClick("Timer1"); // ticks draw nothing while the editor is open
    EXPECT_EQ(sh().rng.state(), mark);
    choose("quit2");
    EXPECT_EQ(st.abb, 123);
    EXPECT_EQ(st.dbb, 45);
    EXPECT_EQ(st.awb, -0.01);
    EXPECT_EQ(st.bwb, 0.01);
    EXPECT_TRUE(w().control("Picture1")->isVisible());
    EXPECT_EQ(w().control("Picture1")->pos(), QPoint(123, 45));
    EXPECT_EQ(px(5, 5), kBorder);
    EXPECT_FALSE(w().control("Label2")->isVisible());
    EXPECT_TRUE(sh().form.enabled("Timer1"));
}
