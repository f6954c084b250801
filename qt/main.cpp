#include "app/saver.hpp"
#include "qt/app.hpp"
#include "qt/saver.hpp"
#include "qt/window.hpp"

#include <QApplication>
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::string program = argc > 0 && argv[0] ? argv[0] : "vortalis";
    const vx::SaverArgs saver =
        vx::parseSaverArgs(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    switch (saver.status) {
    case vx::SaverArgs::Status::Help:
        std::fputs(vx::saverUsage(program).c_str(), stdout);
        return 0;
    case vx::SaverArgs::Status::Bad:
        std::fprintf(stderr, "%s: %s\n%s", program.c_str(), saver.error.c_str(),
                     vx::saverUsage(program).c_str());
        return 2;
    case vx::SaverArgs::Status::Run:
        // A screen-saver host's window is an X11 window, also in a Wayland session.
        if (saver.options.target != vx::SaverOptions::Target::Screens)
            return vx::runInWindow(argc, argv, saver.options);
        break;
    case vx::SaverArgs::Status::None:
        break;
    }
    // Without any display Qt would abort; say what is missing instead.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fprintf(stderr, "vortalis: no display found (DISPLAY is not set)\n");
        return 1;
    }
    QApplication app(argc, argv);
    // Numbers in fields and files use "." whatever the desktop language says.
    std::setlocale(LC_NUMERIC, "C");
    if (saver.status == vx::SaverArgs::Status::Run) return vx::runOnScreens(app, saver.options);
    return vx::runProgram(app);
}
