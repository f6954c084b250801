#include "qt/app.hpp"
#include "qt/window.hpp"

#include <QApplication>
#include <clocale>
#include <cstdio>

int main(int argc, char** argv) {
    // Without any display Qt would abort; say what is missing instead.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fprintf(stderr, "vortalis: no display found (DISPLAY is not set)\n");
        return 1;
    }
    QApplication app(argc, argv);
    // Numbers in fields and files use "." whatever the desktop language says.
    std::setlocale(LC_NUMERIC, "C");
    return vx::runProgram(app);
}
