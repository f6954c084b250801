// Printing and saving through the real window on Qt's offscreen platform.
#include "../scratch_folder.hpp"
#include "../small_disk.hpp"
#include "app/events.hpp"
#include "qt/print.hpp"
#include "qt/window.hpp"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
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
        page = windowPageImage(*w_);
        ++prints;
        return QtPlatform::printWindow();
    }
    bool panelShown = false;
    QImage page;
    int prints = 0;

  private:
    MainWindow*& w_;
};

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
    showPanel();
    // Shown, the panel is on the window's image: the check below means something.
    const QImage withPanel = windowPageImage(*w);
    EXPECT_NE(withPanel.pixel(20, 110), rgbOf(kPatternColour));

    auto* field = qobject_cast<QLineEdit*>(w->control("Text2"));
    ASSERT_NE(field, nullptr);
    press(field, Qt::Key_P, "p");
    EXPECT_EQ(platform.prints, 1);
    EXPECT_FALSE(platform.panelShown);
    ASSERT_FALSE(platform.page.isNull());
    EXPECT_EQ(platform.page.pixel(20, 110), rgbOf(kPatternColour)); // where Label2 sits
    EXPECT_EQ(platform.page.pixel(20, 30), rgbOf(kPatternColour));  // Command1
    EXPECT_EQ(field->text(), "200");
    EXPECT_EQ(sh.form.text("Text2"), "200");
    for (const char* n : kShownPanel) EXPECT_TRUE(w->control(n)->isVisible()) << n;

    const std::string pdf = readAll("print1.pdf");
    ASSERT_GT(pdf.size(), 100u);
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_FALSE(exists("print1.pdf.tmp"));
    EXPECT_NE(w->statusText().indexOf("print1.pdf"), -1) << w->statusText().toStdString();
}

TEST_F(QtKeeping, PrintingWithoutThePanelLeavesItHiddenAndNumbersThePages) {
    writeAll("print1.pdf", "someone else's");
    press(w->canvas(), Qt::Key_P, "P");
    EXPECT_EQ(platform.prints, 1);
    EXPECT_EQ(readAll("print1.pdf"), "someone else's");
    EXPECT_TRUE(exists("print2.pdf"));
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
