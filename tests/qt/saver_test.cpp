// Screen-saver mode and quitting through the real window on Qt's offscreen platform.
#include "app/startup.hpp"
#include "qt/app.hpp"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <set>

using namespace vx;

namespace {

struct Saver : ::testing::Test {
    std::unique_ptr<Program> program;
    Shapes& sh() { return program->shapes(); }
    MainWindow& w() { return program->window(); }

    void SetUp() override {
        program = std::make_unique<Program>();
        program->start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return sh().loop.phase == kMainPage; }, 5000));
        QTest::mouseClick(qobject_cast<QPushButton*>(w().control("Command4")), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return sh().loop.phase == kMainLoop; }, 5000));
    }
    void TearDown() override { program.reset(); }

    // Runs the program's event loop in a child process after act; the child's exit status is
    // 0 when the loop ended and the program was quitting. (Ending the event loop leaves a
    // process unable to run another, so this cannot happen in the test's own process.)
    void expectEnds(const std::function<void()>& act) {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        EXPECT_EXIT(
            {
                QTimer::singleShot(0, act);
                QTimer::singleShot(2000, [] { std::_Exit(3); });
                const int rc = QApplication::exec();
                std::_Exit(rc == 0 && sh().quitting ? 0 : 2);
            },
            ::testing::ExitedWithCode(0), "");
    }
};

} // namespace

TEST_F(Saver, TheMenusEnterTheModeAndThePictureGlidesOnScreen) {
    w().menuItem("csingle")->trigger();
    w().menuItem("ssaver")->trigger();
    QWidget* pic = w().control("Picture1");
    EXPECT_TRUE(pic->isVisible());
    EXPECT_FALSE(w().control("Label2")->isVisible());
    EXPECT_TRUE(w().menuItem("ssaver")->isChecked());
    EXPECT_FALSE(w().menuItem("regmode")->isChecked());
    const QPoint start = pic->pos();
    ASSERT_TRUE(QTest::qWaitFor([&] { return pic->pos() != start; }, 2000));
    w().menuItem("regmode")->trigger();
    EXPECT_FALSE(pic->isVisible());
    EXPECT_TRUE(w().control("Label2")->isVisible());
}

TEST_F(Saver, OnlyItemsWhoseMarkMirrorsASettingShowACheckBox) {
    const std::set<std::string> marked = {"regmode", "ssaver",  "tslow",    "tfast",    "ucolors",
                                          "tcolor7", "bcolor7", "printon",  "printoff", "saveon",
                                          "saveoff", "csingle", "cpattern", "ssmooth",  "ssharp",
                                          "sfancy",  "snormal", "scenter"};
    for (const ui::Control& c : sh().form.controls()) {
        if (c.kind != ui::Kind::Menu || !sh().form.menuChildren(c.name).empty()) continue;
        EXPECT_EQ(w().menuItem(c.name)->isCheckable(), marked.count(c.name) == 1) << c.name;
    }
    // A command keeps no mark after it is chosen.
    w().menuItem("savesettings")->trigger();
    EXPECT_FALSE(w().menuItem("savesettings")->isChecked());
}

TEST_F(Saver, QuitEndsTheProgramEvenInScreenSaverMode) {
    w().menuItem("ssaver")->trigger();
    expectEnds([&] { w().menuItem("quit")->trigger(); });
}

TEST_F(Saver, ClosingTheWindowEndsTheProgram) {
    expectEnds([&] { w().close(); });
}
