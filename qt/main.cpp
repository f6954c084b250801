#include "app/saver.hpp"
#include "qt/app.hpp"
#include "qt/saver.hpp"
#include "qt/window.hpp"

#include <QApplication>
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

namespace {

int run(int argc, char** argv, const vx::SaverArgs& saver) {
    const bool saving = saver.status == vx::ArgsStatus::Run;
    // A screen-saver host's window is an X11 window, also in a Wayland session.
    if (saving && saver.options.target != vx::SaverOptions::Target::Screens)
        return vx::runInWindow(argc, argv, saver.options);
    // Without any display Qt would abort; say what is missing instead.
    bool displayGiven = false;
    for (int i = 1; i < argc; ++i)
        for (const char* qt : {"-platform", "--platform", "-display", "--display"})
            displayGiven = displayGiven || std::string(argv[i]).rfind(qt, 0) == 0;
    if (!displayGiven && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fprintf(stderr, "vortalis: no display found (DISPLAY is not set)\n");
        return 1;
    }
    QApplication app(argc, argv);
    // Numbers in fields and files use "." whatever the desktop language says.
    std::setlocale(LC_NUMERIC, "C");
    return saving ? vx::runOnScreens(app, saver.options) : vx::runProgram(app);
}

} // namespace

int main(int argc, char** argv) {
    const vx::SaverArgs saver =
        vx::parseSaverArgs(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    if (const std::optional<int> rc = vx::answerArgs(vx::Cli::Vortalis, saver.status, saver.error))
        return *rc;
    const int rc = run(argc, argv, saver);
    // The clean-up is done: a saver stopped by a signal ends by it, as hosts expect.
    vx::endByCaughtSignal();
    return rc;
}
