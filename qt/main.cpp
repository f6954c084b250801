#include "qt/app.hpp"
#include "qt/window.hpp"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return vx::runProgram(app);
}
