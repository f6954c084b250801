// Every file the window reads, with a pipe in its place or cut short: the window goes on at once
// and says why. With VORTALIS_TIMING=1 the longest pause of the event loop while each is read
// is printed (a read that waited for a writer would hang the test instead).
#include "app/editor.hpp"
#include "app/settings.hpp"
#include "app/startup.hpp"
#include "export/bmp.hpp"
#include "qt/app.hpp"
#include "qt/image.hpp"
#include "qt/saver.hpp"

#include <QAction>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace vx;

namespace {

// The longest time between two turns of the event loop while f runs in it.
qint64 longestGap(const std::function<void()>& f) {
    QElapsedTimer clock;
    qint64 last = 0, longest = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    clock.start();
    tick.start();
    QTimer::singleShot(0, f);
    QTest::qWait(100);
    return longest;
}

void report(const char* file, qint64 ms) {
    if (qEnvironmentVariable("VORTALIS_TIMING") == "1")
        std::fprintf(stderr, "vortalis-timing: longest event-loop gap with a pipe as %s: %lld ms\n",
                     file, static_cast<long long>(ms));
}

void pipeAs(const char* name) {
    ::unlink(name);
    ASSERT_EQ(::mkfifo(name, 0644), 0) << name;
}

} // namespace

TEST(Reading, APipeInPlaceOfAnyFileIsSaidAndNotWaitedFor) {
    pipeAs("Vortalis.settings");
    std::unique_ptr<Program> program;
    report("Vortalis.settings", longestGap([&] {
               program = std::make_unique<Program>();
               program->start();
           }));
    Shapes& sh = program->shapes();
    MainWindow& w = program->window();
    ASSERT_TRUE(QTest::qWaitFor([&] { return sh.loop.phase == kMainPage; }, 5000));
    // Kept beside the main page's drawings until the user acts; said once for both readings.
    const QString warning = "Vortalis.settings was not read: it is a pipe, not a regular file.";
    EXPECT_EQ(w.warningText(), warning);
    EXPECT_TRUE(w.statusText().startsWith("Drawing ")) << w.statusText().toStdString();
    QTest::mouseClick(qobject_cast<QPushButton*>(w.control("Command4")), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sh.loop.phase == kMainLoop; }, 5000));
    EXPECT_EQ(w.warningText(), "");

    auto type = [&](const char* field, const char* text) {
        auto* t = qobject_cast<QLineEdit*>(w.control(field));
        t->selectAll();
        QTest::keyClicks(t, text);
    };
    auto press = [&](const char* button) {
        QTest::mouseClick(qobject_cast<QPushButton*>(w.control(button)), Qt::LeftButton);
    };
    auto said = [&](const char* what) {
        EXPECT_NE(w.statusText().indexOf(what), -1) << w.statusText().toStdString();
    };

    // The picture of the import page, and one cut short.
    pipeAs("pipe.bmp");
    Surface picture(40, 30, 0x3366CC);
    const std::string bytes = encodeBmp24(picture);
    std::ofstream("cut.bmp", std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    w.dispatchClick("impcolor");
    type("Text8", "pipe.bmp");
    report("the import's picture", longestGap([&] { press("Command6"); }));
    said("pipe.bmp could not be read as a picture (it is a pipe, not a regular file)");
    w.dispatchClick("impcolor");
    type("Text8", "cut.bmp");
    press("Command6");
    said("the file is cut short: it ends after 1827 of its 3654 bytes");

    // A palette.
    w.menuItem("editcolors")->trigger();
    pipeAs("pipe.palette");
    w.menuItem("lcolor")->trigger();
    type("Text7", "pipe.palette");
    report("a palette", longestGap([&] { press("Command12"); }));
    said("pipe.palette could not be read: it is a pipe, not a regular file.");
    press("Command13");

    // The drawing kept while the editor is open.
    ASSERT_TRUE(QTest::qWaitFor([&] { return std::ifstream(kDrawingKeptFile).good(); }, 2000));
    pipeAs(kDrawingKeptFile);
    report(kDrawingKeptFile, longestGap([&] { w.menuItem("quit2")->trigger(); }));
    said("drawing1.bmp could not be read back (it is a pipe, not a regular file)");
    EXPECT_EQ(sh.st.colormode4, 0);
}

TEST(Reading, PicturesCutShortSaySo) {
    QImage img(60, 40, QImage::Format_RGB32);
    img.fill(qRgb(10, 200, 30));
    for (const char* format : {"bmp", "png", "jpg"}) {
        QByteArray data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(img.save(&buffer, format)) << format;
        const std::string whole = data.toStdString();
        const Result<Surface> read = readPictureData(whole, format);
        ASSERT_TRUE(read) << format << ": " << read.error().message;
        EXPECT_EQ(read->width(), 60) << format;
        const Result<Surface> cut = readPictureData(whole.substr(0, whole.size() * 3 / 4), format);
        ASSERT_FALSE(cut) << format;
        EXPECT_EQ(cut.error().message.rfind("the file is cut short", 0), 0u)
            << format << ": " << cut.error().message;
    }
}

// The screen saver has no status line: a damaged settings file is said on stderr, once.
TEST(Reading, TheScreenSaverSaysDamageOnStderr) {
    std::ofstream("saver.settings", std::ios::binary) << " 16  200 \r\n";
    SaverPlatform platform;
    Shapes sh{platform};
    ::testing::internal::CaptureStderr();
    startValues(sh, "saver.settings");
    readSettingsSecond(sh, "saver.settings");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "vortalis: saver.settings is damaged or incomplete: 77 values could not be read.\n");
}
