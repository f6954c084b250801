#pragma once
#include <QApplication>

namespace vx {

// Creates the window, shows it maximised and runs start-up and the event loop.
int runProgram(QApplication& app);

} // namespace vx
