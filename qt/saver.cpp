#include "qt/saver.hpp"

#include "app/events.hpp"
#include "app/favourites.hpp"
#include "app/generators.hpp"
#include "app/startup.hpp"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSocketNotifier>
#include <QWidget>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <unistd.h>
#include <vector>

namespace vx {

namespace {

int signalPipe[2] = {-1, -1};
int caughtSignal = 0;

void onSignal(int s) {
    const char b = static_cast<char>(s);
    // Nothing but a write is safe here; the event loop does the rest.
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &b, 1);
}

} // namespace

void SaverPlatform::quit() {
    Platform::quit();
    QCoreApplication::exit(0);
}

void SaverPlatform::showWarning(const std::string& text) {
    Platform::showWarning(text);
    std::fprintf(stderr, "vortalis: %s\n", text.c_str());
}

void endOnSignals() {
    if (signalPipe[0] >= 0 || ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* n =
        new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(n, &QSocketNotifier::activated, [] {
        char b = 0;
        if (::read(signalPipe[0], &b, 1) == 1 && caughtSignal == 0) caughtSignal = b;
        QCoreApplication::exit(0);
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    for (int s : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(s, &sa, nullptr);
}

void endByCaughtSignal() {
    if (caughtSignal == 0) return;
    // Hosts tell a hack they stopped from one that failed by how it ended.
    struct sigaction sa {};
    sa.sa_handler = SIG_DFL;
    sigemptyset(&sa.sa_mask);
    ::sigaction(caughtSignal, &sa, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, caughtSignal);
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
    ::raise(caughtSignal);
    ::_exit(128 + caughtSignal);
}

void composeLine(const Shapes& sh, int y, int x0, int x1, uint32_t* dst) {
    const Surface& sf = sh.surface;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, sf.width() - 1);
    if (y < 0 || y >= sf.height() || x1 < x0) return;
    auto rgb = [](uint32_t c) {
        return 0xFF000000u | (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
    };
    const uint32_t* src = sf.rowData(y);
    const ui::Control& pc = sh.form.get("Picture1");
    // The part of the line the moving picture covers, if any.
    int p0 = x1 + 1, p1 = x1;
    if (pc.visible && y >= pc.y && y < pc.y + pc.h) {
        p0 = std::clamp(pc.x, x0, x1 + 1);
        p1 = std::clamp(pc.x + pc.w - 1, x0 - 1, x1);
    }
    for (int x = x0; x < std::min(p0, x1 + 1); ++x) *dst++ = rgb(src[x]);
    for (int x = p0; x <= p1; ++x) {
        const int32_t p = sh.picture1.pixel(x - pc.x, y - pc.y);
        *dst++ = p < 0 ? 0xFF000000u : rgb(static_cast<uint32_t>(p));
    }
    for (int x = std::max(p0, p1 + 1); x <= x1; ++x) *dst++ = rgb(src[x]);
}

void composeFrame(const Shapes& sh, const QRect& r, QImage& img) {
    const Surface& sf = sh.surface;
    if (img.width() != sf.width() || img.height() != sf.height() ||
        img.format() != QImage::Format_RGB32)
        img = QImage(sf.width(), sf.height(), QImage::Format_RGB32);
    if (img.isNull()) return;
    const QRect a = r & img.rect();
    for (int y = a.top(); y <= a.bottom(); ++y)
        composeLine(sh, y, a.left(), a.right(),
                    reinterpret_cast<uint32_t*>(img.scanLine(y)) + a.left());
}

SaverHost::SaverHost(Shapes& sh, Present present, Move move, QObject* parent)
    : QObject(parent), sh_(sh), present_(std::move(present)), move_(std::move(move)) {
    frames_.setTimerType(Qt::PreciseTimer);
    timer2_.setTimerType(Qt::PreciseTimer);
    connect(&frames_, &QTimer::timeout, this, [this] { frame(); });
    connect(&timer1_, &QTimer::timeout, this, [this] { tick("Timer1"); });
    connect(&timer2_, &QTimer::timeout, this, [this] { tick("Timer2"); });
    // The timers follow the form, as the window's do.
    listener_ = sh_.form.listen([this](const ui::Control& c, ui::Change) {
        QTimer* t = c.name == "Timer1" ? &timer1_ : c.name == "Timer2" ? &timer2_ : nullptr;
        if (!t) return;
        if (c.enabled && c.interval > 0) {
            if (!t->isActive() || t->interval() != c.interval) t->start(c.interval);
        } else {
            t->stop();
        }
    });
}

SaverHost::~SaverHost() {
    sh_.form.unlisten(listener_);
}

QRect SaverHost::pictureShown() const {
    const ui::Control& pc = sh_.form.get("Picture1");
    return pc.visible ? QRect(pc.x, pc.y, pc.w, pc.h) : QRect();
}

void SaverHost::start(const SaverOptions& o, double framesPerSecond, int place) {
    started_ = true;
    startSaver(sh_, o, place);
    present_(QRegion(0, 0, sh_.surface.width(), sh_.surface.height()));
    frames_.start(static_cast<int>(std::lround(1000 / framesPerSecond)));
}

void SaverHost::resize(int w, int h) {
    if (w == sh_.surface.width() && h == sh_.surface.height()) return;
    sh_.surface.resize(w, h);
    if (!started_) return;
    // A drawing of the new size, in the kind chosen; the favourite on screen again.
    const bool again = showFavouriteAgain(sh_);
    if (!again && sh_.st.mpattern == kShapeKind) makeshape(sh_);
    if (!again && sh_.st.mpattern != kShapeKind) makeshape2(sh_);
    present_(QRegion(0, 0, w, h));
}

void SaverHost::frame() {
    const QRect before = pictureShown();
    mainLoopTick(sh_, sh_.platform->steadySeconds());
    const QRect after = pictureShown();
    if (after == before) return;
    if (move_ && !before.isEmpty() && after.size() == before.size())
        move_(before, after);
    else
        present_(QRegion(before) + QRegion(after));
}

void SaverHost::tick(const char* timer) {
    const bool drawing = std::string(timer) == "Timer1";
    programEvents().click(sh_, timer);
    if (drawing) present_(QRegion(0, 0, sh_.surface.width(), sh_.surface.height()));
}

namespace {

// One screen's window: the drawing, no cursor; the first key, click or move ends the saver.
class ScreenSaverWidget : public QWidget {
  public:
    ScreenSaverWidget(QScreen* screen, const SaverOptions& o, int place)
        : sh_(platform_), host_(
                              sh_, [this](const QRegion& r) { update(r); },
                              [this](const QRect& from, const QRect& to) { glide(from, to); }),
          place_(place) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setCursor(Qt::BlankCursor);
        setMouseTracking(true);
        setWindowTitle("Vortalis");
        setScreen(screen);
        setGeometry(screen->geometry());
        sh_.surface = Surface(screen->geometry().width(), screen->geometry().height());
        options_ = o;
        hz_ = screen->refreshRate() >= 20 ? screen->refreshRate() : 60;
    }
    void begin() {
        pointer_ = QCursor::pos();
        host_.start(options_, hz_, place_);
    }

  protected:
    // The picture moves within the window's own pixels; only what it uncovers is composed.
    void glide(const QRect& from, const QRect& to) {
        const QRect both = from | to;
        scroll(to.x() - from.x(), to.y() - from.y(), both);
        update(QRegion(both) - QRegion(to));
    }
    void paintEvent(QPaintEvent* e) override {
        QPainter p(this);
        for (const QRect& r : e->region()) {
            composeFrame(sh_, r, image_);
            p.drawImage(r.topLeft(), image_, r);
        }
    }
    void resizeEvent(QResizeEvent*) override { host_.resize(width(), height()); }
    void keyPressEvent(QKeyEvent*) override { QCoreApplication::exit(0); }
    void mousePressEvent(QMouseEvent*) override { QCoreApplication::exit(0); }
    void mouseMoveEvent(QMouseEvent* e) override {
        // A window appearing under the pointer may report it moved; a real move ends it.
        if ((e->globalPosition().toPoint() - pointer_).manhattanLength() > 8)
            QCoreApplication::exit(0);
    }

  private:
    SaverPlatform platform_;
    Shapes sh_;
    SaverHost host_;
    SaverOptions options_;
    int place_ = 0;
    double hz_ = 60;
    QImage image_;
    QPoint pointer_;
};

} // namespace

int runOnScreens(QApplication& app, const SaverOptions& o) {
    endOnSignals();
    std::vector<ScreenSaverWidget*> windows;
    for (QScreen* screen : QGuiApplication::screens()) {
        auto* w = new ScreenSaverWidget(screen, o, static_cast<int>(windows.size()));
        w->showFullScreen();
        windows.push_back(w);
    }
    for (ScreenSaverWidget* w : windows) w->begin();
    const int rc = app.exec();
    for (ScreenSaverWidget* w : windows) delete w;
    return rc;
}

} // namespace vx
