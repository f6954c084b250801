#pragma once
// Long work on a thread of its own, shown in the status bar with a progress bar and Cancel,
// while the window goes on answering.
#include "platform/platform.hpp"

#include <QPointer>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace vx {

class MainWindow;

class BackgroundTask {
  public:
    // Starts the work at once; finished gets what it returned, on the window's thread.
    BackgroundTask(MainWindow* w, Platform::BackgroundWork work,
                   std::function<void(const std::string&)> finished);
    // Cancels work still running and waits for it: nothing is left half written.
    ~BackgroundTask();
    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;

    // The work has ended and its outcome has been given to finished.
    bool over() const { return over_; }
    // As the Cancel button does.
    void cancel();
    // The status bar's progress bar and Cancel, while the work runs.
    QWidget* bar() const { return bar_; }

  private:
    void poll();

    struct Shared {
        std::atomic<double> progress{0};
        std::atomic<bool> cancelled{false}, done{false};
        std::string outcome; // written before done, read after it
    };
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
    QTimer timer_;
    QPointer<QWidget> bar_;
    QLabel* caption_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::function<void(const std::string&)> finished_;
    bool over_ = false;
};

} // namespace vx
