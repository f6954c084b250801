#pragma once
#include "app/shapes.hpp"
#include "qt/qtplatform.hpp"
#include "qt/window.hpp"

#include <QApplication>
#include <QIcon>

namespace vx {

// The whole program: the platform, the window object and the real window.
class Program {
  public:
    Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Shows the window maximised; start-up runs as soon as the event loop does.
    void start();
    Shapes& shapes() { return sh_; }
    MainWindow& window() { return w_; }

  private:
    MainWindow* wptr_ = nullptr;
    QtPlatform platform_;
    Shapes sh_;
    MainWindow w_;
};

// The program's icon, drawn as its installed icon file is.
QIcon programIcon();

// Creates the window, shows it maximised and runs start-up and the event loop.
int runProgram(QApplication& app);

} // namespace vx
