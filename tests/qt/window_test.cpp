#include "../user_folders.hpp"
#include "app/colourmenu.hpp"
#include "app/editor.hpp"
#include "app/events.hpp"
#include "app/favourites.hpp"
#include "app/generators.hpp"
#include "app/history.hpp"
#include "app/render.hpp"
#include "app/startup.hpp"
#include "model/code.hpp"
#include "qt/app.hpp"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

#include <memory>
#include <set>

using namespace vx;

namespace {

const char* const kPanelShown[] = {"Command1", "Label2", "Text2",  "Label9", "Text9",
                                   "Label8",   "Text10", "Label3", "Text3",  "Option1",
                                   "Option2",  "Label5", "Text5"};
const char* const kNeverShown[] = {"Label1", "Text1", "Label4", "Text4"};

QStringList visibleBarMenus(MainWindow& w) {
    QStringList out;
    for (QAction* a : w.menuBar()->actions())
        if (a->isVisible()) out << a->text();
    return out;
}

// Whether the pattern generator draws yet (it may still be a placeholder in this build).
bool patternGeneratorDraws() {
    Shapes sh;
    makeshape2(sh);
    return sh.st.bbmv == 2;
}

struct Window : ::testing::Test {
    std::unique_ptr<Program> program;
    Shapes& sh() { return program->shapes(); }
    MainWindow& w() { return program->window(); }
    template <class T = QWidget> T* widget(const char* name) {
        return qobject_cast<T*>(w().control(name));
    }

    void SetUp() override {
        program = std::make_unique<Program>();
        program->start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return sh().loop.phase == kMainPage; }, 5000));
    }
    void TearDown() override { program.reset(); }

    void pressBegin() {
        QTest::mouseClick(widget<QPushButton>("Command4"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return sh().loop.phase == kMainLoop; }, 5000));
    }
    // Gives the drawing area a size, as a user dragging the window's edge does.
    void resizeCanvas(int width, int height) {
        w().showNormal();
        w().resize(w().size() + QSize(width, height) - w().canvas()->size());
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return sh().surface.width() == width && sh().surface.height() == height; },
            2000));
        QCoreApplication::processEvents();
    }
    // The drawing whose code the status line shows, at the window's size now.
    Drawing shownDrawing() {
        Result<Drawing> d = decodeDrawing(w().statusText().section(' ', 1, 1).toStdString());
        EXPECT_TRUE(d) << w().statusText().toStdString();
        if (!d) return {};
        d->width = sh().surface.width();
        d->height = sh().surface.height();
        return *d;
    }
    // Types into a field as a user does: the old text selected, the new keys typed.
    QString type(const char* field, const QString& keys) {
        auto* t = widget<QLineEdit>(field);
        t->setFocus();
        t->selectAll();
        QTest::keyClicks(t, keys);
        return t->text();
    }
};

} // namespace

TEST_F(Window, RightAfterStartOnlyBeginShowsAndTheMenuBarIsEmpty) {
    EXPECT_EQ(w().windowTitle(), "Vortalis");
    // Its own, also when nothing is installed.
    EXPECT_TRUE(w().windowIcon().availableSizes().contains(QSize(256, 256)));
    EXPECT_TRUE(w().windowState() & Qt::WindowMaximized);
    EXPECT_TRUE(widget("Command4")->isVisible());
    for (const ui::Control& c : sh().form.controls()) {
        if (c.kind == ui::Kind::Menu || c.kind == ui::Kind::Timer || c.name == "Command4") continue;
        EXPECT_FALSE(widget(c.name.c_str())->isVisible()) << c.name;
    }
    EXPECT_TRUE(visibleBarMenus(w()).isEmpty());
    EXPECT_TRUE(w().statusText().startsWith("Drawing ")) << w().statusText().toStdString();
    EXPECT_NE(w().findChild<QWidget*>("statusLine"), nullptr);
    EXPECT_EQ(w().timer("Timer6")->interval(), 5000);
    EXPECT_TRUE(w().timer("Timer6")->isActive());
    EXPECT_FALSE(w().timer("Timer1")->isActive());
    EXPECT_FALSE(w().timer("Timer2")->isActive());
}

TEST_F(Window, BeginShowsTwoMenusAndThePanelWithoutItsHiddenPairs) {
    pressBegin();
    // The History, Export, Explore and Palettes menus come after the two of the description.
    EXPECT_EQ(visibleBarMenus(w()),
              (QStringList{"Options", "Pattern mode", "History", "Export", "Explore", "Palettes"}));
    // Each bundled palette shows its colours.
    EXPECT_FALSE(w().menuItem("palette:viridis")->icon().isNull());
    EXPECT_FALSE(widget("Command4")->isVisible());
    for (auto n : kPanelShown) EXPECT_TRUE(widget(n)->isVisible()) << n;
    for (auto n : kNeverShown) EXPECT_FALSE(widget(n)->isVisible()) << n;
    EXPECT_FALSE(w().timer("Timer6")->isActive());
    EXPECT_TRUE(w().loopTimer()->isActive());
    EXPECT_EQ(widget<QLineEdit>("Text2")->text(), "200");
    EXPECT_TRUE(w().menuItem("cpattern")->isChecked());
    EXPECT_FALSE(w().menuItem("csingle")->isChecked());
    EXPECT_TRUE(widget<QRadioButton>("Option2")->isChecked());
}

TEST_F(Window, FieldsAreCappedOnKeyReleaseAndClampedByTheNextDrawing) {
    pressBegin();
    EXPECT_EQ(type("Text2", "500"), "400");
    EXPECT_EQ(sh().form.text("Text2"), "400");
    EXPECT_EQ(type("Text3", "30"), "25");
    EXPECT_EQ(type("Text9", "26"), "25");
    EXPECT_EQ(type("Text5", "99"), "50");
    EXPECT_EQ(type("Text10", "7"), "7");

    EXPECT_EQ(type("Text2", "30"), "30");
    w().menuItem("csingle")->trigger();
    EXPECT_TRUE(w().menuItem("csingle")->isChecked());
    QTest::mouseClick(widget<QPushButton>("Command1"), Qt::LeftButton);
    EXPECT_EQ(widget<QLineEdit>("Text2")->text(), "40");
    EXPECT_EQ(sh().st.swidth, 40);
}

TEST_F(Window, ArrowKeysStepTheHiddenNumberOfSidesField) {
    pressBegin();
    auto* t4 = widget<QLineEdit>("Text4");
    QTest::keyClick(t4, Qt::Key_Up);
    EXPECT_EQ(t4->text(), "8");
    QTest::keyClick(t4, Qt::Key_Right);
    EXPECT_EQ(t4->text(), "8");
    QTest::keyClick(t4, Qt::Key_Left);
    EXPECT_EQ(t4->text(), "4");
    QTest::keyClick(t4, Qt::Key_Down);
    EXPECT_EQ(t4->text(), "4");
    EXPECT_EQ(sh().st.ssg, 4);
}

TEST_F(Window, OptionButtonsFollowTheShapeStyle) {
    pressBegin();
    QTest::mouseClick(widget<QRadioButton>("Option1"), Qt::LeftButton);
    EXPECT_EQ(sh().st.complexy, 1);
    EXPECT_TRUE(widget<QRadioButton>("Option1")->isChecked());
    EXPECT_FALSE(widget<QRadioButton>("Option2")->isChecked());
    // Clicking the selected button again keeps it selected.
    QTest::mouseClick(widget<QRadioButton>("Option1"), Qt::LeftButton);
    EXPECT_TRUE(widget<QRadioButton>("Option1")->isChecked());
    QTest::mouseClick(widget<QRadioButton>("Option2"), Qt::LeftButton);
    EXPECT_EQ(sh().st.complexy, 2);
    EXPECT_FALSE(widget<QRadioButton>("Option1")->isChecked());
}

TEST_F(Window, MainPageTimerDrawsANewPatternEveryFiveSeconds) {
    QTimer* t6 = w().timer("Timer6");
    ASSERT_TRUE(t6->isActive());
    EXPECT_EQ(t6->interval(), 5000);
    sh().surface.fillBox(0, 0, 3000, 3000, 12345);
    sh().st.bbmv = 0;
    // The timer's own tick, without waiting five seconds for it.
    QSignalSpy ticks(t6, &QTimer::timeout);
    ASSERT_TRUE(QMetaObject::invokeMethod(t6, "timeout", Qt::DirectConnection));
    ASSERT_EQ(ticks.count(), 1);
    if (!patternGeneratorDraws()) GTEST_SKIP() << "the pattern generator does not draw yet";
    EXPECT_EQ(sh().st.bbmv, 2);
    EXPECT_NE(sh().surface.pixel(sh().surface.width() / 2, sh().surface.height() / 2), 12345);
}

TEST_F(Window, MainPageTimerStopsForGoodAtBegin) {
    pressBegin();
    EXPECT_FALSE(w().timer("Timer6")->isActive());
    sh().surface.fillBox(0, 0, 3000, 3000, 12345);
    w().dispatchClick("Timer6");
    EXPECT_EQ(sh().surface.pixel(100, 100), 12345);
}

TEST_F(Window, StyleSwitchAlreadyCheckedDoesNothing) {
    pressBegin();
    sh().form.setEnabled("sscreen", false);
    sh().surface.fillBox(0, 0, 3000, 3000, 4242);
    w().menuItem("cpattern")->trigger();
    EXPECT_TRUE(w().menuItem("cpattern")->isChecked());
    EXPECT_FALSE(w().menuItem("csingle")->isChecked());
    EXPECT_FALSE(w().menuItem("sscreen")->isEnabled());
    EXPECT_EQ(sh().surface.pixel(50, 50), 4242);

    w().menuItem("csingle")->trigger();
    EXPECT_TRUE(w().menuItem("csingle")->isChecked());
    EXPECT_FALSE(w().menuItem("cpattern")->isChecked());
    w().menuItem("csingle")->trigger();
    EXPECT_TRUE(w().menuItem("csingle")->isChecked());
    EXPECT_EQ(sh().st.mpattern, 0);
    EXPECT_EQ(sh().surface.pixel(50, 50), 4242); // regular mode: nothing drawn
}

// Menus that are never shown, and items of menus not shown yet, cannot be chosen.
TEST(WindowMenus, HiddenMenusStayOutOfReach) {
    MainWindow* wp = nullptr;
    QtPlatform platform(wp);
    Shapes sh(platform);
    Events ev = programEvents();
    std::map<std::string, int> chosen;
    for (auto n : {"ssmooth", "ssharp", "snormal", "scenter", "impcolor", "printon", "printoff",
                   "numprint", "saveon", "saveoff", "numsave", "regmode", "quit2"})
        ev.onClick(n, [&chosen, n = std::string(n)](Shapes&) { ++chosen[n]; });
    MainWindow w(sh, ev);
    wp = &w;
    w.show();
    startup(sh);

    ASSERT_EQ(sh.st.mpattern, 0);      // set to patterns only after "Begin"
    w.menuItem("cpattern")->trigger(); // before "Begin" the menu is not there
    EXPECT_EQ(sh.st.mpattern, 0);
    w.dispatchClick("Command4");
    w.loopTick();
    ASSERT_EQ(sh.loop.phase, kMainLoop);

    for (auto n : {"ssmooth", "ssharp", "snormal", "scenter", "impcolor", "printon", "printoff",
                   "numprint", "saveon", "saveoff", "numsave", "quit2"}) {
        w.menuItem(n)->trigger();
        EXPECT_EQ(chosen[n], 0) << n;
        EXPECT_FALSE(w.reachable(n)) << n;
    }
    for (auto n : {"moptions5", "autoprint", "autosave", "impcolor"})
        EXPECT_FALSE(w.menuItem(n)->isVisible()) << n;
    // The description's items have no shortcut; the menus after them have some, none a
    // single letter.
    const std::set<std::string> added = {"prevdrawing", "nextdrawing",  "randomsettings",
                                         "newcolours",  "addfavourite", "favdelete",
                                         "favback"};
    for (QAction* a : w.findChildren<QAction*>()) {
        const std::string n = a->objectName().toStdString();
        EXPECT_EQ(a->shortcut().isEmpty(), !added.count(n)) << n;
    }

    w.menuItem("regmode")->trigger();
    EXPECT_EQ(chosen["regmode"], 1);
    w.menuItem("csingle")->trigger();
    EXPECT_EQ(sh.st.mpattern, 0);
}

TEST_F(Window, AltLeftAndAltRightGoThroughTheHistoryAndItsEndsAreDisabled) {
    pressBegin();
    // The first code once the menu is there says where it is copied from.
    const QString hinted = w().statusText();
    EXPECT_TRUE(hinted.endsWith(" (History > Copy drawing code)")) << hinted.toStdString();
    const QString after = hinted.section(' ', 0, 1);
    QTest::mouseClick(widget<QPushButton>("Command1"), Qt::LeftButton);
    const QString newest = w().statusText();
    ASSERT_TRUE(newest.startsWith("Drawing ")) << newest.toStdString();
    ASSERT_NE(newest, after);
    EXPECT_TRUE(w().menuItem("prevdrawing")->isEnabled());
    EXPECT_FALSE(w().menuItem("nextdrawing")->isEnabled());
    w().activateWindow();
    w().canvas()->setFocus();
    QTest::keyClick(w().canvas(), Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(w().statusText(), after);
    EXPECT_TRUE(w().menuItem("nextdrawing")->isEnabled());
    // Back to the main page's patterns: the first drawing of the session.
    while (w().menuItem("prevdrawing")->isEnabled()) w().menuItem("prevdrawing")->trigger();
    EXPECT_FALSE(sh().history.canGoBack());
    QTest::keyClick(w().canvas(), Qt::Key_Right, Qt::AltModifier);
    while (w().menuItem("nextdrawing")->isEnabled()) w().menuItem("nextdrawing")->trigger();
    EXPECT_EQ(w().statusText(), newest);
    // In the colour editor the history is out of reach.
    w().menuItem("editcolors")->trigger();
    EXPECT_FALSE(w().menuItem("history")->isVisible());
    QTest::keyClick(w().canvas(), Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(sh().st.colormode4, 1);
}

TEST_F(Window, TheFavouritesPageTakesTheKeysAndEscapeGivesTheDrawingBack) {
    vx::testing::UserFolders user(QDir::currentPath().toStdString());
    pressBegin();
    w().activateWindow();
    for (int i = 0; i < 2; ++i) {
        QTest::mouseClick(widget<QPushButton>("Command1"), Qt::LeftButton);
        w().canvas()->setFocus();
        QTest::keyClick(w().canvas(), Qt::Key_D, Qt::ControlModifier);
    }
    EXPECT_TRUE(w().statusText().startsWith("Added to the favourites (2 in all)"))
        << w().statusText().toStdString();
    const Surface before = sh().surface;
    w().menuItem("favourites")->trigger();
    ASSERT_TRUE(sh().favouritesPage);
    EXPECT_EQ(visibleBarMenus(w()), QStringList{"Favourites"});
    EXPECT_FALSE(widget("Label2")->isVisible());
    EXPECT_TRUE(w().canvas()->hasFocus());
    QTest::keyClick(w().canvas(), Qt::Key_Right);
    EXPECT_EQ(sh().favouritesPage->selected, 1);
    QTest::keyClick(w().canvas(), Qt::Key_Delete);
    EXPECT_EQ(sh().favouritesPage->entries.size(), 1u);
    QTest::keyClick(w().canvas(), Qt::Key_Escape);
    EXPECT_FALSE(sh().favouritesPage);
    EXPECT_TRUE(sh().surface == before);
    EXPECT_TRUE(widget("Label2")->isVisible());
}

TEST_F(Window, EveryResizeShowsTheLastDrawingAgainAtTheNewSizeAndNothingElseChanges) {
    // What a resize must leave as it was.
    auto unchanged = [&] {
        return std::tuple{w().statusText(), sh().history.size(), sh().st.nosave,
                          w().menuItem("prevdrawing")->isEnabled(),
                          w().menuItem("sscreen")->isEnabled()};
    };
    // Small, then larger than at first: the uncovered part is drawing, never white.
    auto resizeAndCheck = [&](const char* state, const std::function<void()>& check) {
        const auto before = unchanged();
        for (QSize size : {QSize(420, 310), QSize(1000, 740)}) {
            resizeCanvas(size.width(), size.height());
            SCOPED_TRACE(std::string(state) + " at " + std::to_string(size.width()));
            check();
            EXPECT_EQ(unchanged(), before);
        }
    };
    auto patternShown = [&] { EXPECT_TRUE(renderDrawing(shownDrawing()) == sh().surface); };
    auto shapeCentred = [&] {
        // The window as a new run of the same shape at this size leaves it.
        const Drawing d = shownDrawing();
        Random rng(d.seed);
        rng.next(), rng.next();
        Surface canvas(d.width, d.height), picture;
        drawShape(d.settings, rng, canvas, picture);
        EXPECT_TRUE(canvas == sh().surface);
    };

    resizeAndCheck("main page", patternShown);
    pressBegin();
    resizeAndCheck("regular mode, pattern", patternShown);
    w().menuItem("csingle")->trigger();
    QTest::mouseClick(widget<QPushButton>("Command1"), Qt::LeftButton);
    resizeAndCheck("regular mode, shape", shapeCentred);

    w().menuItem("ssaver")->trigger();
    ASSERT_TRUE(widget("Picture1")->isVisible());
    sh().st.abb = 900; // gliding near the right edge
    resizeAndCheck("screen-saver mode, gliding shape", [&] {
        for (int y = 0; y < sh().surface.height(); y += 7)
            for (int x = 0; x < sh().surface.width(); x += 7)
                ASSERT_EQ(sh().surface.pixel(x, y), kBorder) << x << "," << y;
        // The shape's square, as the glide bounces it.
        const int side = static_cast<int>(sh().st.swidth);
        EXPECT_TRUE(
            w().canvas()->rect().contains(QRect(widget("Picture1")->pos(), QSize(side, side))));
    });
    w().menuItem("cpattern")->trigger();
    resizeAndCheck("screen-saver mode, pattern", patternShown);

    // The editor's cells are laid out again for the width; the drawing it covers comes back
    // at the new size.
    for (size_t i = 1; i <= 6; ++i) sh().st.colorlist[i] = 255;
    sh().st.numcolors = 7;
    w().menuItem("editcolors")->trigger();
    resizeCanvas(420, 310);
    const int sixth = kCellLeft + 5 * kCellStepX + 42;
    EXPECT_EQ(sh().surface.pixel(kCellLeft + 42, kCellTop + kCellStepY + 10), 255);
    resizeCanvas(1000, 740);
    EXPECT_EQ(sh().surface.pixel(sixth, kCellTop + 10), 255);
    EXPECT_EQ(sh().surface.pixel(kCellLeft + 42, kCellTop + kCellStepY + 10), kWhite);
    w().menuItem("quit2")->trigger();
    patternShown();
}

// Either-or items show radio marks, and the marks are still the model's, also where none is
// checked and where a click is out of reach.
TEST_F(Window, EitherOrMenuItemsShowRadioMarksThatFollowTheModel) {
    const std::vector<std::vector<std::string>> groups = {{"regmode", "ssaver"},
                                                          {"tslow", "tfast"},
                                                          {"ucolors", "tcolor7", "bcolor7"},
                                                          {"csingle", "cpattern"}};
    auto marksFollow = [&](const std::string& when) {
        for (const auto& g : groups)
            for (const std::string& n : g) {
                QAction* a = w().menuItem(n);
                ASSERT_TRUE(a->actionGroup() && a->actionGroup()->isExclusive()) << n;
                EXPECT_EQ(a->isChecked(), sh().form.checked(n)) << when << ": " << n;
            }
    };
    w().menuItem("csingle")->trigger(); // before "Begin": out of reach
    marksFollow("before Begin");
    EXPECT_TRUE(w().menuItem("cpattern")->isChecked());
    pressBegin();
    for (const char* item : {"tslow", "tslow", "bcolor7", "tcolor7", "tcolor7", "csingle",
                             "cpattern", "ucolors", "tfast", "ssaver", "regmode"}) {
        w().menuItem(item)->trigger();
        marksFollow(item);
    }
    sh().st.cgf = 1;
    w().runHandler([&] { ASSERT_TRUE(selectImportedScale(sh())); });
    marksFollow("imported scale");
    w().menuItem("ucolors")->trigger(); // the list is on already: the item does nothing
    marksFollow("imported scale, User defined colors");
    EXPECT_FALSE(w().menuItem("ucolors")->isChecked());
}

TEST(CodeDialog, ShowsTheLongestCodeWholeAndReturnAccepts) {
    TextDialog d(nullptr, "Go to drawing code", "Drawing code:");
    d.field()->setPlainText(QString::fromStdString(longestDrawingCode()));
    d.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(d.field()->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(d.field()->horizontalScrollBar()->maximum(), 0);
    EXPECT_LE(d.width(), 1024);
    QTest::keyClick(d.field(), Qt::Key_Return);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.text().toStdString(), longestDrawingCode());
}

// A menu closed with Escape leaves the keyboard with the menu bar; "S" (and "P", by the same
// way) acts at once all the same, and the bar lets the keyboard go.
TEST_F(Window, SActsAfterAMenuIsClosedWithEscape) {
    const std::filesystem::path here = std::filesystem::current_path();
    std::string dir = (std::filesystem::temp_directory_path() / "vortalis-XXXXXX").string();
    ASSERT_NE(mkdtemp(dir.data()), nullptr);
    std::filesystem::current_path(dir);
    pressBegin();
    w().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
    QMenuBar* bar = w().menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions()[0]).center());
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([bar] { return bar->hasFocus(); }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S);
    const bool saved = std::filesystem::exists("pattern1.bmp");
    const bool barLetGo = !bar->hasFocus() && QApplication::activePopupWidget() == nullptr;
    std::filesystem::current_path(here);
    std::filesystem::remove_all(dir);
    EXPECT_TRUE(saved) << w().statusText().toStdString();
    EXPECT_TRUE(barLetGo);
}
