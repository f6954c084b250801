#include "qt/app.hpp"

#include "app/events.hpp"
#include "app/render.hpp"
#include "app/startup.hpp"
#include "qt/image.hpp"

#include <QDateTime>
#include <QIcon>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vx {

namespace {

// VORTALIS_TIMING=1: one line on stderr once the first pattern is on screen, for measuring
// the start from outside.
void logFirstPattern(MainWindow& w) {
    const char* on = std::getenv("VORTALIS_TIMING");
    if (!on || std::strcmp(on, "1") != 0) return;
    w.canvas()->repaint();
    std::fprintf(stderr, "vortalis-timing: first pattern shown at %lld ms since the epoch\n",
                 static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
}

} // namespace

QIcon programIcon() {
    // The drawing the installed icon is made of, so that the window has it wherever it runs
    // from.
    RenderOptions o;
    o.width = o.height = 256;
    o.size = "120";
    o.detail = "12";
    o.smoothness = "3";
    o.colours = RenderOptions::Colours::True;
    const Result<Drawing> d = renderedDrawing(o, 2718);
    if (!d) return {};
    return QIcon(QPixmap::fromImage(toImage(renderDrawing(*d))));
}

Program::Program() : platform_(wptr_), sh_(platform_), w_(sh_, programEvents()) {
    wptr_ = &w_;
}

void Program::start() {
    // Made once: every window of the program has it.
    if (QApplication::windowIcon().isNull()) QApplication::setWindowIcon(programIcon());
    w_.maximiseNow();
    // Start-up runs once the window is up and has its size.
    QTimer::singleShot(0, &w_, [this] {
        w_.fitSurface();
        w_.runHandler([this] { startup(sh_); });
        logFirstPattern(w_);
        w_.startLoop();
    });
}

int runProgram(QApplication& app) {
    Program p;
    p.start();
    return app.exec();
}

} // namespace vx
