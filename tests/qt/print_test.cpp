// Printing and saving through the real window on Qt's offscreen platform, and printing
// through a print service of the tests' own.
#include "../scratch_folder.hpp"
#include "../small_disk.hpp"
#include "app/events.hpp"
#include "private_cups.hpp"
#include "qt/print.hpp"
#include "qt/printjob.hpp"
#include "qt/qtplatform.hpp"
#include "qt/window.hpp"
#include "slow_proxy.hpp"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <fstream>
#include <sys/resource.h>

using namespace vx;

namespace {

constexpr int32_t kPatternColour = 0x2040C0; // red 0xC0, green 0x40, blue 0x20

// Notes what the page looked like at the moment of printing.
class WatchingPlatform : public QtPlatform {
  public:
    explicit WatchingPlatform(MainWindow*& w) : QtPlatform(w), w_(w) {}
    Result<std::string> printWindow() override {
        panelShown = w_->shapes().form.visible("Label2");
        ++prints;
        return QtPlatform::printWindow();
    }
    bool confirm(const std::string&) override {
        ++questions;
        return false;
    }
    bool panelShown = false;
    int prints = 0, questions = 0;

  private:
    MainWindow*& w_;
};

// An image of a PDF file as pdfimages lists it, and the first image's pixels.
struct PdfImages {
    struct Listed {
        QString encoding, colour, interpolated;
        int width = 0, height = 0;
    };
    std::vector<Listed> listed;
    QImage first;
};

bool havePdfImages() {
    return !QStandardPaths::findExecutable("pdfimages").isEmpty();
}
#define VORTALIS_NEED_PDFIMAGES()                                                                  \
    if (!havePdfImages()) GTEST_SKIP() << "pdfimages (poppler-utils) is not installed"

PdfImages pdfImages(const QString& file) {
    PdfImages out;
    QProcess list;
    list.start("pdfimages", {"-list", file});
    list.waitForFinished(30000);
    const QStringList lines = QString::fromLocal8Bit(list.readAllStandardOutput()).split('\n');
    // Below the heading and its rule: page num type width height color comp bpc enc interp ...
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QStringList f = lines[i].split(' ', Qt::SkipEmptyParts);
        if (f.size() >= 10) out.listed.push_back({f[8], f[5], f[9], f[3].toInt(), f[4].toInt()});
    }
    QTemporaryDir dir;
    QProcess extract;
    extract.start("pdfimages", {"-png", file, dir.filePath("image")});
    extract.waitForFinished(30000);
    out.first.load(dir.filePath("image-000.png"));
    return out;
}

// Expects the PDF file to hold the drawing, pixel for pixel, as its one image.
void expectPdfHolds(const QString& file, const Surface& drawing) {
    const PdfImages pdf = pdfImages(file);
    ASSERT_EQ(pdf.listed.size(), 1u) << file.toStdString();
    EXPECT_NE(pdf.listed[0].encoding, "jpeg");
    EXPECT_EQ(pdf.listed[0].colour, "rgb");
    EXPECT_EQ(pdf.listed[0].interpolated, "no");
    ASSERT_EQ(pdf.first.width(), drawing.width());
    ASSERT_EQ(pdf.first.height(), drawing.height());
    int wrong = 0;
    for (int y = 0; y < drawing.height(); ++y)
        for (int x = 0; x < drawing.width(); ++x) {
            const QRgb p = pdf.first.pixel(x, y);
            wrong += (qRed(p) | qGreen(p) << 8 | qBlue(p) << 16) != drawing.pixel(x, y);
        }
    EXPECT_EQ(wrong, 0) << "pixels that differ from the drawing";
}

const char* const kShownPanel[] = {"Command1", "Label2", "Text2",  "Label9", "Text9",
                                   "Label8",   "Text10", "Label3", "Text3",  "Option1",
                                   "Option2",  "Label5", "Text5"};

class QtKeeping : public scratch::ScratchFolder {
  protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        setPrinterAllowed(false);
        window = std::make_unique<MainWindow>(sh, programEvents());
        w = window.get();
        window->resize(640, 480);
        window->show();
        QApplication::processEvents();
        window->fitSurface();
        sh.surface.fillBox(0, 0, 2000, 2000, kPatternColour);
        sh.st.bbmv = 2;
        sh.st.nosave = 0;
        sh.form.setVisible("Command4", false);
    }
    void TearDown() override {
        window.reset();
        setPrinterAllowed(true);
        ScratchFolder::TearDown();
    }
    void showPanel() {
        for (const char* n : kShownPanel) sh.form.setVisible(n, true);
        QApplication::processEvents();
    }
    void press(QWidget* target, Qt::Key key, const QString& text) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &up);
        QApplication::processEvents();
    }
    static QRgb rgbOf(int32_t c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

    MainWindow* w = nullptr;
    WatchingPlatform platform{w};
    Shapes sh{platform};
    std::unique_ptr<MainWindow> window;
};

} // namespace

TEST_F(QtKeeping, PInAFieldPrintsThePatternWithoutThePanelToAPdfFile) {
    VORTALIS_NEED_PDFIMAGES();
    showPanel();
    // Shown, the panel is on the screen: the check of the page means something.
    EXPECT_NE(w->canvas()->grab().toImage().pixel(20, 110), rgbOf(kPatternColour));
    sh.surface.fillBox(300, 200, 400, 260, 0x10E020);

    auto* field = qobject_cast<QLineEdit*>(w->control("Text2"));
    ASSERT_NE(field, nullptr);
    press(field, Qt::Key_P, "p");
    EXPECT_EQ(platform.prints, 1);
    EXPECT_FALSE(platform.panelShown);
    EXPECT_EQ(field->text(), "200");
    EXPECT_EQ(sh.form.text("Text2"), "200");
    for (const char* n : kShownPanel) EXPECT_TRUE(w->control(n)->isVisible()) << n;

    expectPdfHolds("print1.pdf", sh.surface);
    EXPECT_FALSE(exists("print1.pdf.tmp"));
    EXPECT_NE(w->statusText().indexOf("print1.pdf"), -1) << w->statusText().toStdString();
}

TEST_F(QtKeeping, PrintingWithoutThePanelLeavesItHiddenAndNumbersThePages) {
    VORTALIS_NEED_PDFIMAGES();
    writeAll("print1.pdf", "someone else's");
    // The main page: "P" prints its pattern, not the "Begin" button over it.
    sh.form.setVisible("Command4", true);
    QApplication::processEvents();
    const QPoint begin = w->control("Command4")->geometry().center();
    EXPECT_NE(w->canvas()->grab().toImage().pixel(begin), rgbOf(kPatternColour));
    press(w->canvas(), Qt::Key_P, "P");
    EXPECT_EQ(platform.prints, 1);
    EXPECT_EQ(readAll("print1.pdf"), "someone else's");
    expectPdfHolds("print2.pdf", sh.surface);
    for (const char* n : kShownPanel) EXPECT_FALSE(w->control(n)->isVisible()) << n;
    // The menu item prints too, also after a single shape.
    sh.st.bbmv = 1;
    w->dispatchClick("pscreen");
    EXPECT_TRUE(exists("print3.pdf"));
    press(w->canvas(), Qt::Key_P, "P");
    EXPECT_FALSE(exists("print4.pdf"));
}

TEST_F(QtKeeping, SSavesTheWindowAsA24BitBitmap) {
    showPanel();
    auto* field = qobject_cast<QLineEdit*>(w->control("Text9"));
    press(field, Qt::Key_S, "s");
    EXPECT_EQ(field->text(), "1");
    const std::string bytes = readAll("pattern1.bmp");
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<unsigned char>(bytes[28]), 24); // bits per pixel
    QImage img;
    ASSERT_TRUE(img.load("pattern1.bmp"));
    EXPECT_EQ(img.width(), sh.surface.width());
    EXPECT_EQ(img.height(), sh.surface.height());
    EXPECT_EQ(img.pixel(5, 5), rgbOf(kPatternColour));
    EXPECT_EQ(sh.st.nosave, 1);
    EXPECT_FALSE(w->menuItem("sscreen")->isEnabled());
    EXPECT_EQ(w->statusText().toStdString(), "Saved as pattern1.bmp in " + dir_.string() + ".");
    // A second press saves nothing more.
    press(w->canvas(), Qt::Key_S, "S");
    EXPECT_FALSE(exists("pattern2.bmp"));
}

TEST_F(QtKeeping, AFailedBitmapSaveLeavesTheDrawingUnsaved) {
    // Without a way to create files here, the save cannot happen.
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path("/proc");
    press(w->canvas(), Qt::Key_S, "S");
    std::filesystem::current_path(here);
    EXPECT_EQ(sh.st.nosave, 0);
    EXPECT_TRUE(w->menuItem("sscreen")->isEnabled());
    EXPECT_NE(w->statusText().indexOf("not saved"), -1) << w->statusText().toStdString();
}

TEST(Pdf, OnlyAWholeFileCountsAsComplete) {
    const struct {
        const char* bytes;
        bool whole;
    } cases[] = {{"", false},
                 {"%PDF-1.4\n1 0 obj", false},
                 {"%PDF-1.4\n...\n%%EOF\n", true},
                 {"%PDF-1.4\n...\n%%EOF", true},
                 {"...\n%%EOF\n", false}};
    for (const auto& c : cases) EXPECT_EQ(completePdf(QByteArray(c.bytes)), c.whole) << c.bytes;
}

TEST_F(QtKeeping, APageThatDoesNotFitTheDiskIsNotReportedAsPrinted) {
    vx::testing::SmallDisk disk;
    VORTALIS_NEED_DISK(disk);
    disk.fill();
    press(w->canvas(), Qt::Key_P, "P");
    const std::string status = w->statusText().toStdString();
    EXPECT_EQ(status.rfind("Not printed", 0), 0u) << status;
    EXPECT_NE(status.find("print1.pdf"), std::string::npos) << status;
    EXPECT_NE(status.find("No space left on device"), std::string::npos) << status;
    EXPECT_FALSE(exists("print1.pdf"));
}

// The window's drawing stays within what the renderer allows, whatever the window's size; a
// drawing there is no memory for is a message, never a crash.
TEST_F(QtKeeping, AHugeWindowGetsACappedDrawingAndShortMemoryAMessage) {
    w->canvas()->resize(40000, 300);
    EXPECT_EQ(sh.surface.width(), kMaxSurfaceSide);
    EXPECT_EQ(sh.surface.height(), 300);
    w->canvas()->resize(20000, 20000);
    EXPECT_EQ(sh.surface.width(), kMaxSurfaceSide);
    EXPECT_EQ(sh.surface.height(), kMaxSurfacePixels / kMaxSurfaceSide);
    w->canvas()->resize(640, 440);
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "an address-space limit and AddressSanitizer's shadow memory do not mix";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto shortOfMemory = [&] {
        // Room for about 100 MB more: a drawing of 64 Mpx (256 MB) cannot be made.
        std::ifstream status("/proc/self/status");
        long long kb = 0;
        for (std::string line; std::getline(status, line);)
            if (line.rfind("VmSize:", 0) == 0) kb = std::stoll(line.substr(7));
        rlimit cap{};
        cap.rlim_cur = cap.rlim_max = static_cast<rlim_t>((kb + 100 * 1024) * 1024);
        ::setrlimit(RLIMIT_AS, &cap);
        w->canvas()->resize(16000, 16000);
        w->canvas()->repaint();
        const bool told = w->statusText().startsWith("Not enough memory");
        std::_Exit(told && sh.surface.width() == 640 ? 0 : 1);
    };
    EXPECT_EXIT(shortOfMemory(), ::testing::ExitedWithCode(0), "");
#endif
}

namespace {

// Prints on the print service CUPS_SERVER names, a drawing of noise that any resampling or
// lossy coding of the page would change.
class QtPrintService : public QtKeeping {
  protected:
    void SetUp() override {
        QtKeeping::SetUp();
        setPrinterAllowed(true);
        setPrintWaits({1000, 10000});
        uint32_t r = 99;
        for (int y = 0; y < sh.surface.height(); ++y)
            for (int x = 0; x < sh.surface.width(); ++x) {
                r = r * 1664525 + 1013904223;
                sh.surface.setPixel(x, y, static_cast<int32_t>(r >> 8));
            }
        folder = QDir::currentPath().toStdString();
    }
    void TearDown() override {
        // No print may outlive the test, not even one the window gave up on.
        for (int i = 0; i < 1000 && PrintJob::running() > 0; ++i) QThread::msleep(10);
        EXPECT_EQ(PrintJob::running(), 0);
        setPrintWaits({});
        qunsetenv("CUPS_SERVER");
        QtKeeping::TearDown();
    }
    std::string printed(const QString& server) {
        qputenv("CUPS_SERVER", server.toLocal8Bit());
        press(w->canvas(), Qt::Key_P, "P");
        return w->statusText().toStdString();
    }
    // The status line once it changes, letting the window run for up to 20 s.
    QString nextStatus() {
        const QString before = w->statusText();
        for (int i = 0; i < 2000 && w->statusText() == before; ++i) {
            QApplication::processEvents();
            QThread::msleep(10);
        }
        return w->statusText();
    }
    std::string folder;
};

} // namespace

TEST_F(QtPrintService, ADownOrHangingServiceIsToldWhileTheWindowKeepsRunning) {
    EXPECT_EQ(printed(QDir::current().filePath("nothing.sock")),
              "The print service (CUPS) is not running: the page was saved as print1.pdf in " +
                  folder + ".");
    EXPECT_TRUE(completePdf(QByteArray::fromStdString(readAll("print1.pdf"))));

    // A service that takes the connection and never answers.
    const QString hang = QDir::current().filePath("hang.sock");
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", hang.toLocal8Bit().constData());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(fd, 8), 0);
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);
    std::string second;
    QTimer again; // a second "P" while the first print waits
    again.setSingleShot(true);
    QObject::connect(&again, &QTimer::timeout, [&] {
        press(w->canvas(), Qt::Key_P, "P");
        second = w->statusText().toStdString();
    });
    again.start(300);
    EXPECT_EQ(printed(hang), "Not printed: the print service at " + hang.toStdString() +
                                 " did not answer within 1 second.");
    ::close(fd);
    EXPECT_GT(ticks, 50) << "the window's events stopped while it waited";
    EXPECT_EQ(second, "Already printing: the page before is still on its way.");
    EXPECT_EQ(platform.prints, 2);
    EXPECT_FALSE(exists("print2.pdf"));
}

TEST_F(QtPrintService, AnAcceptedJobCarriesTheDrawingLosslesslyInColour) {
    vx::testing::PrivateCups cups;
    if (!cups.why().empty()) GTEST_SKIP() << cups.why();
    VORTALIS_NEED_PDFIMAGES();
    ASSERT_TRUE(cups.addPdfQueue("PDF")) << cups.lastOutput;
    ASSERT_TRUE(cups.tool("/usr/sbin/lpadmin", {"-d", "PDF"})) << cups.lastOutput;
    const QString status = QString::fromStdString(printed(cups.socket()));
    const QRegularExpressionMatch m =
        QRegularExpression(R"(^Sent to PDF as job (\d+)\.$)").match(status);
    ASSERT_TRUE(m.hasMatch()) << status.toStdString();
    const QString pdf = cups.waitForPdf(m.captured(1).toInt());
    ASSERT_FALSE(pdf.isEmpty()) << "cups-pdf wrote no file; see " << cups.log();
    expectPdfHolds(pdf, sh.surface);
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST_F(QtPrintService, RefusalsAndMissingPrintersAreToldAsTheyAre) {
    vx::testing::PrivateCups cups;
    if (!cups.why().empty()) GTEST_SKIP() << cups.why();
    const struct {
        std::function<bool()> setUp;
        std::string status;
    } steps[] = {
        {[] { return true; },
         "No printer is installed: the page was saved as print1.pdf in " + folder + "."},
        {[&] {
             return cups.addPdfQueue("Failing") &&
                    cups.tool("/usr/sbin/lpadmin", {"-d", "Failing"}) &&
                    cups.tool("/usr/sbin/cupsreject", {"-r", "out of paper", "Failing"});
         },
         "Not printed: the printer Failing refused the job: Destination \"Failing\" is not "
         "accepting jobs (out of paper)."},
        {[&] {
             return cups.addPdfQueue("PDF") && cups.tool("/usr/sbin/lpadmin", {"-x", "Failing"});
         },
         "No default printer is set: the page was saved as print2.pdf in " + folder + "."},
    };
    for (const auto& step : steps) {
        ASSERT_TRUE(step.setUp()) << cups.lastOutput;
        EXPECT_EQ(printed(cups.socket()), step.status);
    }
    EXPECT_FALSE(exists("print3.pdf"));
}

// The service has the whole page but holds its answer past the window's patience: the window
// says the job may still print, tells its fate once the service answers, and asks before a
// second copy meanwhile.
TEST_F(QtPrintService, ALateAnswerIsNeverToldAsNotPrinted) {
    vx::testing::PrivateCups cups;
    if (!cups.why().empty()) GTEST_SKIP() << cups.why();
    ASSERT_TRUE(cups.addPdfQueue("PDF") && cups.tool("/usr/sbin/lpadmin", {"-d", "PDF"}))
        << cups.lastOutput;
    vx::testing::SlowProxy slow(cups.socket(), cups.path("slow.sock"), 40000,
                                vx::testing::SlowProxy::Hold, std::chrono::seconds(3));
    ASSERT_TRUE(slow.listening());
    const QString first = QString::fromStdString(printed(slow.socket()));
    const QRegularExpressionMatch m =
        QRegularExpression("^The print service at " + QRegularExpression::escape(slow.socket()) +
                           R"( did not answer within 1 second; the job may still print )"
                           R"(\(job (\d+) on PDF\)\.$)")
            .match(first);
    ASSERT_TRUE(m.hasMatch()) << first.toStdString();
    const QString job = m.captured(1);

    press(w->canvas(), Qt::Key_P, "P");
    EXPECT_EQ(platform.questions, 1);
    EXPECT_EQ(platform.prints, 1);
    EXPECT_EQ(w->statusText(), "Not printed again: job " + job + " may still print.");

    EXPECT_EQ(nextStatus(), "The print service answered late: sent to PDF as job " + job + ".");
    EXPECT_FALSE(cups.waitForPdf(job.toInt()).isEmpty()) << "see " << cups.log();
}

// The service goes away in the middle of the page: not printed, and the job it was left with
// does not wait in the queue without its page.
TEST_F(QtPrintService, APageCutOffIsNotPrintedAndItsEmptyJobIsCancelled) {
    vx::testing::PrivateCups cups;
    if (!cups.why().empty()) GTEST_SKIP() << cups.why();
    ASSERT_TRUE(cups.addPdfQueue("PDF") && cups.tool("/usr/sbin/lpadmin", {"-d", "PDF"}))
        << cups.lastOutput;
    vx::testing::SlowProxy cut(cups.socket(), cups.path("cut.sock"), 40000,
                               vx::testing::SlowProxy::Cut);
    ASSERT_TRUE(cut.listening());
    EXPECT_EQ(printed(cut.socket()), "Not printed: the print service at " +
                                         cut.socket().toStdString() +
                                         " broke off the connection before it had the whole page.");
    for (int i = 0; i < 1000 && PrintJob::running() > 0; ++i) QThread::msleep(10);
    ASSERT_TRUE(cups.tool("/usr/bin/lpstat", {"-W", "not-completed", "-o"})) << cups.lastOutput;
    EXPECT_EQ(cups.lastOutput, "");
}
