#include "qt/app.hpp"
#include "qt/window.hpp"

#include <QApplication>
#include <clocale>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Numbers in fields and files use "." whatever the desktop language says.
    std::setlocale(LC_NUMERIC, "C");
    return vx::runProgram(app);
}
