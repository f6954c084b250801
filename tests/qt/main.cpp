// The Qt front-end tests need a QApplication; they run on the offscreen platform.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <clocale>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Also when the test list is read at build time, without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Numbers in fields and files use "." whatever the desktop language says.
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    // Files the program reads or writes go to a folder of this run only.
    QTemporaryDir dir;
    if (dir.isValid()) QDir::setCurrent(dir.path());
    return RUN_ALL_TESTS();
}
