// Long work beside the window: a progress bar and Cancel in the status bar, the outcome in
// the status line, and nothing left running when the window closes.
#include "qt/app.hpp"

#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using namespace vx;

namespace {

// Work that runs until cancelled (10 s at most), saying how far it has come.
Platform::BackgroundWork endless(std::atomic<bool>& running) {
    return {"Recording video1.mp4", [&running](const std::function<bool(double)>& progress) {
                running = true;
                for (int i = 0; i < 5000; ++i) {
                    if (!progress(i / 5000.0)) {
                        running = false;
                        return std::string("Stopped.");
                    }
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
                }
                running = false;
                return std::string("Ran to the end.");
            }};
}

} // namespace

TEST(BackgroundWork, ShowsProgressAndCancelAndSaysHowItEnded) {
    auto program = std::make_unique<Program>();
    MainWindow& w = program->window();
    Platform& platform = *program->shapes().platform;
    w.show();
    std::atomic<bool> running{false};
    ASSERT_TRUE(platform.runInBackground(endless(running)));
    EXPECT_FALSE(platform.runInBackground(endless(running))) << "one at a time";
    auto* bar = w.statusBar()->findChild<QProgressBar*>();
    auto* cancel = w.statusBar()->findChild<QPushButton*>("cancelBackground");
    ASSERT_TRUE(bar && cancel);
    EXPECT_EQ(cancel->text(), "Cancel");
    // The window's own events go on while the work runs.
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar->value() > 0; }, 5000));
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.statusText() == "Stopped."; }, 5000));
    EXPECT_EQ(w.statusBar()->findChild<QProgressBar*>(), nullptr);
    EXPECT_FALSE(running);

    ASSERT_TRUE(platform.runInBackground(
        {"Quick", [](const std::function<bool(double)>&) { return std::string("Done."); }}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.statusText() == "Done."; }, 5000));

    // Closing the program stops work still running and waits for it.
    ASSERT_TRUE(platform.runInBackground(endless(running)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return running.load(); }, 5000));
    program.reset();
    EXPECT_FALSE(running);
}

// Short jobs beside the window: each runs off the window's thread and its done comes back to
// it, every one of them, also when a job fails.
TEST(Workers, RunJobsBesideTheWindowAndHandEachDoneBack) {
    auto program = std::make_unique<Program>();
    Platform& platform = *program->shapes().platform;
    const std::thread::id window = std::this_thread::get_id();
    std::atomic<int> offThread{0};
    int done = 0, doneHere = 0;
    std::vector<Platform::Job> jobs;
    for (int i = 0; i < 12; ++i)
        jobs.push_back({[&, i] {
                            offThread += std::this_thread::get_id() != window;
                            if (i == 5) throw std::runtime_error("no memory");
                        },
                        [&] {
                            ++done;
                            doneHere += std::this_thread::get_id() == window;
                        }});
    platform.runOnWorkers(std::move(jobs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return done == 12; }, 10000));
    EXPECT_EQ(offThread, 12);
    EXPECT_EQ(doneHere, 12);
}
