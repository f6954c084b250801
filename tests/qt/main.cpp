// The Qt front-end tests need a QApplication; they run on the offscreen platform.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <clocale>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Files the program reads or writes go to a folder of each test's own: a settings file one
// test saves must not become the next one's start.
class FreshFolder : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        dir_ = std::make_unique<QTemporaryDir>();
        if (dir_->isValid()) QDir::setCurrent(dir_->path());
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        QDir::setCurrent(QDir::tempPath());
        dir_.reset();
    }
    std::unique_ptr<QTemporaryDir> dir_;
};

} // namespace

int main(int argc, char** argv) {
    // Also when the test list is read at build time, without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Numbers in fields and files use "." whatever the desktop language says.
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshFolder);
    return RUN_ALL_TESTS();
}
