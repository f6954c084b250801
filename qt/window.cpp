#include "qt/window.hpp"

#include "app/generators.hpp"
#include "app/modes.hpp"
#include "app/startup.hpp"
#include "qt/image.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

namespace vx {

namespace {

// Runs f once at the user's next key or mouse press anywhere in the program.
class OnUserInput : public QObject {
  public:
    OnUserInput(std::function<void()> f, QObject* parent) : QObject(parent), f_(std::move(f)) {
        qApp->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (f_ && (e->type() == QEvent::KeyPress || e->type() == QEvent::MouseButtonPress)) {
            qApp->removeEventFilter(this);
            std::exchange(f_, nullptr)();
            deleteLater();
        }
        return false;
    }

  private:
    std::function<void()> f_;
};

} // namespace

int keyCode(int k) {
    switch (k) {
    case Qt::Key_Left:
        return kKeyLeft;
    case Qt::Key_Up:
        return kKeyUp;
    case Qt::Key_Right:
        return kKeyRight;
    case Qt::Key_Down:
        return kKeyDown;
    default:
        break;
    }
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return k; // same codes as ASCII capitals
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return k;
    if (k == Qt::Key_Return || k == Qt::Key_Enter) return 13;
    if (k == Qt::Key_Backspace) return 8;
    if (k == Qt::Key_Delete) return 46;
    if (k == Qt::Key_Escape) return 27;
    return 0;
}

MainWindow::MainWindow(Shapes& sh, const Events& events) : sh_(sh), ev_(events) {
    setWindowTitle("Vortalis");
    build();
    // The bundled palettes show their colours.
    for (const ui::Control& c : sh_.form.controls())
        if (!c.swatch.empty()) actions_.at(c.name)->setIcon(swatchIcon(c.swatch));
    listener_ = sh_.form.listen([this](const ui::Control& c, ui::Change ch) { mirror(c, ch); });
}

MainWindow::~MainWindow() {
    sh_.form.unlisten(listener_);
}

QWidget* MainWindow::control(const std::string& name) const {
    auto it = widgets_.find(name);
    return it == widgets_.end() ? nullptr : it->second;
}

QAction* MainWindow::menuItem(const std::string& name) const {
    auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

QTimer* MainWindow::timer(const std::string& name) const {
    auto it = timers_.find(name);
    return it == timers_.end() ? nullptr : it->second;
}

void MainWindow::maximiseNow() {
    if (!isMaximized() && !isFullScreen()) {
        // Without a window manager "maximised" means nothing: take the screen's work area.
        if (QScreen* sc = screen()) setGeometry(sc->availableGeometry());
        showMaximized();
    }
    fitSurface();
}

void MainWindow::showStatus(const QString& text) {
    status_->setText(text);
}
QString MainWindow::statusText() const {
    return status_->text();
}

void MainWindow::showWarning(const QString& text) {
    warning_->setText(text);
    warning_->setVisible(!text.isEmpty());
    if (dismiss_ || text.isEmpty()) return;
    dismiss_ = new OnUserInput(
        [this] {
            dismiss_ = nullptr;
            sh_.platform->warning.clear();
            warning_->hide();
            warning_->clear();
        },
        this);
}
QString MainWindow::warningText() const {
    return warning_->text();
}

void MainWindow::fitSurface() {
    const QSize s = canvas_->size();
    const SurfaceSize fit = cappedSurfaceSize(s.width(), s.height());
    if (fit.width <= 0 || fit.height <= 0 ||
        (fit.width == sh_.surface.width() && fit.height == sh_.surface.height()))
        return;
    try {
        sh_.surface.resize(fit.width, fit.height);
        resized_ = true;
        if (depth_ == 0) runHandler([] {}, false);
    } catch (const std::bad_alloc&) {
        // The drawing keeps its old size; the rest of the window stays black.
        showStatus(QStringLiteral("Not enough memory for a drawing of %1 x %2 pixels; the drawing "
                                  "keeps its size of %3 x %4.")
                       .arg(fit.width)
                       .arg(fit.height)
                       .arg(sh_.surface.width())
                       .arg(sh_.surface.height()));
    }
}

void MainWindow::refresh() {
    canvas_->update();
    for (const char* name : {"Picture1", "Picture2"})
        if (auto* p = qobject_cast<PictureView*>(control(name))) p->changed();
}

void MainWindow::runHandler(const std::function<void()>& f, bool repaint) {
    struct Depth {
        int& d;
        explicit Depth(int& v) : d(v) { ++d; }
        ~Depth() { --d; }
    } depth(depth_);
    try {
        f();
        // A size the window took meanwhile is followed once the handlers are done.
        if (depth_ == 1 && followSize()) repaint = true;
    } catch (const std::bad_alloc&) {
        showStatus(QStringLiteral("Not enough memory to finish that; the window may show only part "
                                  "of a drawing."));
    } catch (const std::exception& e) {
        showStatus(QStringLiteral("Something went wrong: %1").arg(QString::fromUtf8(e.what())));
    }
    if (repaint) refresh();
}

bool MainWindow::followSize() {
    if (std::exchange(resized_, false)) {
        coveredResize_ = sh_.st.colormode4 != kEditorClosed;
        return windowResized(sh_);
    }
    // The colour editor has closed over a drawing it kept at the size it had before.
    if (!coveredResize_ || sh_.st.colormode4 != kEditorClosed) return false;
    coveredResize_ = false;
    return reshowDrawing(sh_);
}

void MainWindow::dispatchClick(const std::string& name) {
    if (name == "Timer1") markForFrame("Timer1 tick");
    if (name == "editcolors") markForFrame("Edit colors");
    if (name == "prevdrawing") markForFrame("Previous drawing");
    runHandler([&] { ev_.click(sh_, name); });
}

bool MainWindow::dispatchKeyDown(const std::string& name, int key) {
    bool used = false;
    runHandler([&] { used = ev_.keyDown(sh_, name, key); });
    return used;
}

bool MainWindow::dispatchKeyUp(const std::string& name, int key) {
    bool used = false;
    runHandler([&] { used = ev_.keyUp(sh_, name, key); });
    return used;
}

void MainWindow::startLoop() {
    if (!loop_) {
        loop_ = new QTimer(this);
        loop_->setObjectName("mainLoop");
        loop_->setTimerType(Qt::PreciseTimer);
        connect(loop_, &QTimer::timeout, this, &MainWindow::loopTick);
    }
    // One frame per display refresh.
    const qreal hz = screen() && screen()->refreshRate() >= 20 ? screen()->refreshRate() : 60;
    loop_->start(static_cast<int>(std::lround(1000 / hz)));
}

void MainWindow::loopTick() {
    // The loop runs where no handler is on the stack, as it did beneath them all.
    if (depth_ > 0) return;
    bool drew = false;
    const QPoint before = control("Picture1")->pos();
    runHandler([&] { drew = mainLoopTick(sh_); }, false);
    if (drew) refresh();
    // A frame: the picture moved, and Qt shows it in this turn of the event loop.
    if (timing_.on() && control("Picture1")->pos() != before) timing_.frameShown();
}

void MainWindow::afterFrame(std::function<void()> f) {
    afterFrame_.push_back(std::move(f));
    canvas_->update();
    // Should no frame come (a hidden window), the work is done anyway.
    QTimer::singleShot(200, this, [this] { runAfterFrame(); });
}

void MainWindow::runAfterFrame() {
    if (afterFrame_.empty()) return;
    // Once the frame is on the screen: the next turn of the event loop.
    QTimer::singleShot(0, this, [this] {
        std::vector<std::function<void()>> jobs;
        jobs.swap(afterFrame_);
        for (auto& f : jobs) runHandler(f, false);
    });
}

void MainWindow::closeEvent(QCloseEvent* e) {
    // Closing the window is "Quit": the program ends at once, nothing is saved.
    e->accept();
    runHandler([&] { ev_.click(sh_, "quit"); }, false);
}

bool MainWindow::reachable(const std::string& item) const {
    for (std::string n = item; !n.empty(); n = sh_.form.get(n).parent)
        if (!sh_.form.visible(n) || !sh_.form.enabled(n)) return false;
    return true;
}

bool MainWindow::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) {
        auto* ke = static_cast<QKeyEvent*>(e);
        const std::string name = o->objectName().toStdString();
        const int code = keyCode(ke->key());
        if (e->type() == QEvent::KeyPress) {
            if (dispatchKeyDown(name, code)) return true;
        } else {
            // Let the field take the key first, so the handler sees the new text.
            return dispatchKeyUp(name, code);
        }
    }
    return QMainWindow::eventFilter(o, e);
}

} // namespace vx
