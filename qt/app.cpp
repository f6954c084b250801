#include "qt/app.hpp"

#include "core/events.hpp"
#include "core/startup.hpp"
#include "qt/window.hpp"

#include <QTimer>

namespace vx {

int runProgram(QApplication& app) {
    MainWindow* window = nullptr;
    QtPlatform platform(window);
    Shapes sh(platform);
    MainWindow w(sh, programEvents());
    window = &w;
    w.maximiseNow();
    // Start-up runs once the window is up and has its size.
    QTimer::singleShot(0, &w, [&] {
        w.fitSurface();
        startup(sh);
        w.refresh();
    });
    return app.exec();
}

} // namespace vx
