#include "qt/window.hpp"

#include "app/generators.hpp"
#include "app/history.hpp"
#include "app/modes.hpp"
#include "app/startup.hpp"
#include "qt/image.hpp"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QInputDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>
#include <utility>

namespace vx {

namespace {

QColor toQColor(int32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// Paints the part of a surface that needs it: a moving picture uncovers only a strip, which
// comes as two thin rectangles.
void paintSurface(QWidget* w, const Surface& s, QImage& img, const QRegion& area) {
    QPainter p(w);
    const QRect all(0, 0, s.width(), s.height());
    for (const QRect& q : area) {
        const QRect r = q & all;
        const bool shown = !r.isEmpty() && copyToImage(s, img, r);
        if (shown) p.drawImage(r.topLeft(), img, r);
        // Outside the surface the window shows its black background.
        for (const QRect& rest : QRegion(q) - (shown ? QRegion(r) : QRegion()))
            p.fillRect(rest, Qt::black);
    }
}

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
    return 0;
}

Canvas::Canvas(MainWindow& w, QWidget* parent) : QWidget(parent), w_(w) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Canvas::paintEvent(QPaintEvent* e) {
    paintSurface(this, w_.shapes().surface, image_, e->region());
    w_.noteCanvasPainted();
    w_.runAfterFrame();
}
void Canvas::resizeEvent(QResizeEvent*) {
    w_.fitSurface();
}

void Canvas::mousePressEvent(QMouseEvent* e) {
    w_.markForFrame("mouse click");
    const int b = e->button() == Qt::LeftButton ? 1 : (e->button() == Qt::RightButton ? 2 : 4);
    const double x = e->position().x(), y = e->position().y();
    w_.runHandler([&] { w_.events().mouseDown(w_.shapes(), b, x, y); });
}

void Canvas::mouseMoveEvent(QMouseEvent* e) {
    const int b = (e->buttons() & Qt::LeftButton) ? 1 : 0;
    const double x = e->position().x(), y = e->position().y();
    w_.runHandler([&] { w_.events().mouseMove(w_.shapes(), b, x, y); }, false);
}

void Canvas::keyPressEvent(QKeyEvent* e) {
    w_.dispatchKeyDown(Events::kWindow, keyCode(e->key()));
}

void Canvas::keyReleaseEvent(QKeyEvent* e) {
    w_.dispatchKeyUp(Events::kWindow, keyCode(e->key()));
}

PictureView::PictureView(const Surface& s, QWidget* parent) : QWidget(parent), s_(s) {
    // It paints every pixel it covers: nothing beneath needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureView::changed() {
    current_ = false;
    update();
}

void PictureView::paintEvent(QPaintEvent* e) {
    if (!current_) current_ = copyToImage(s_, image_, QRect(0, 0, s_.width(), s_.height()));
    QPainter p(this);
    const QRect r = e->rect() & image_.rect();
    if (current_ && !r.isEmpty()) p.drawImage(r.topLeft(), image_, r);
    // Beyond the picture the box shows the window's black.
    const QRegion rest = QRegion(e->rect()) - (current_ ? QRegion(r) : QRegion());
    for (const QRect& q : rest) p.fillRect(q, Qt::black);
}

void QtPlatform::pumpEvents() {
    if (w_) w_->refresh();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

int QtPlatform::drawText(Surface& s, int x, int y, const std::string& text, int32_t colour) {
    // The window's font at the size the editor's grid was made for (8 points at 96 dpi).
    QFont font = w_ ? w_->canvas()->font() : QApplication::font();
    font.setPixelSize(11);
    const QFontMetrics fm(font);
    const QString t = QString::fromStdString(text);
    QImage img(std::max(1, fm.horizontalAdvance(t)), std::max(1, fm.height()),
               QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setFont(font);
        p.setPen(toQColor(colour));
        p.drawText(0, fm.ascent(), t);
    }
    // The glyphs' edges are blended with what the surface holds beneath them.
    const int cr = colour & 0xFF, cg = (colour >> 8) & 0xFF, cb = (colour >> 16) & 0xFF;
    for (int j = 0; j < img.height(); ++j) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(j));
        for (int i = 0; i < img.width(); ++i) {
            const int a = qAlpha(row[i]);
            const int32_t under = s.pixel(x + i, y + j);
            if (a == 0 || under < 0) continue;
            auto mix = [a](int fg, int bg) { return (fg * a + bg * (255 - a) + 127) / 255; };
            s.setPixel(x + i, y + j,
                       mix(cr, under & 0xFF) | mix(cg, (under >> 8) & 0xFF) << 8 |
                           mix(cb, (under >> 16) & 0xFF) << 16);
        }
    }
    return fm.horizontalAdvance(t);
}

Result<Surface> QtPlatform::readPicture(const std::string& file) {
    return readPictureFile(file);
}

void QtPlatform::later(std::function<void()> f) {
    if (w_)
        w_->afterFrame(std::move(f));
    else
        f();
}

void QtPlatform::copyText(const std::string& text) {
    Platform::copyText(text);
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

TextDialog::TextDialog(QWidget* parent, const QString& title, const QString& label)
    : QDialog(parent), field_(new QPlainTextEdit(this)) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(label, this);
    caption->setBuddy(field_);
    layout->addWidget(caption);
    field_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    field_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    field_->setTabChangesFocus(true);
    field_->installEventFilter(this);
    // Ten groups of a code a line, and lines enough for the longest code.
    constexpr int kColumns = 60;
    const QFontMetrics fm(field_->font());
    const int lines = static_cast<int>(longestDrawingCode().size() + kColumns - 1) / kColumns;
    const int frame =
        2 * (field_->frameWidth() + static_cast<int>(field_->document()->documentMargin()));
    field_->setMinimumSize(fm.horizontalAdvance(QString(kColumns + 1, 'W')) + frame,
                           fm.lineSpacing() * lines + frame);
    layout->addWidget(field_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString TextDialog::text() const {
    return field_->toPlainText().trimmed();
}

bool TextDialog::eventFilter(QObject* o, QEvent* e) {
    if (o == field_ && e->type() == QEvent::KeyPress) {
        const int k = static_cast<QKeyEvent*>(e)->key();
        if (k == Qt::Key_Return || k == Qt::Key_Enter) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}

std::optional<std::string> QtPlatform::askText(const std::string& title, const std::string& label) {
    TextDialog d(w_, QString::fromStdString(title), QString::fromStdString(label));
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    return d.text().toStdString();
}

std::optional<std::string> QtPlatform::askSaveFile(const std::string& title,
                                                   const std::string& suggested,
                                                   const std::string& filter) {
    const QString file =
        QFileDialog::getSaveFileName(w_, QString::fromStdString(title),
                                     QDir::current().filePath(QString::fromStdString(suggested)),
                                     QString::fromStdString(filter));
    if (file.isEmpty()) return std::nullopt;
    return file.toStdString();
}

std::optional<int> QtPlatform::askNumber(const std::string& title, const std::string& label,
                                         int value, int min, int max) {
    bool ok = false;
    const int n = QInputDialog::getInt(w_, QString::fromStdString(title),
                                       QString::fromStdString(label), value, min, max, 1, &ok);
    if (!ok) return std::nullopt;
    return n;
}

std::optional<SurfaceSize> QtPlatform::screenPixels() {
    const QScreen* screen = w_ ? w_->screen() : QGuiApplication::primaryScreen();
    if (!screen) return std::nullopt;
    // Device pixels: a HiDPI screen's wallpaper is at its full resolution.
    const QSize size = screen->geometry().size() * screen->devicePixelRatio();
    return SurfaceSize{size.width(), size.height()};
}

void QtPlatform::quit() {
    Platform::quit();
    QCoreApplication::exit(0);
}

void QtPlatform::maximise() {
    if (!w_) return;
    w_->maximiseNow();
}

void QtPlatform::status(const std::string& text) {
    Platform::status(text);
    if (w_) w_->showStatus(QString::fromStdString(text));
}

bool QtPlatform::confirm(const std::string& question) {
    return QMessageBox::question(w_, QStringLiteral("Vortalis"), QString::fromStdString(question),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void QtPlatform::showWarning(const std::string& text) {
    Platform::showWarning(text);
    if (w_) w_->showWarning(QString::fromStdString(text));
}

MainWindow::MainWindow(Shapes& sh, const Events& events) : sh_(sh), ev_(events) {
    setWindowTitle("Vortalis");
    timing_.on = qEnvironmentVariable("VORTALIS_TIMING") == "1";
    timing_.clock.start();
    build();
    // The bundled palettes show their colours.
    for (const ui::Control& c : sh_.form.controls())
        if (!c.swatch.empty()) actions_.at(c.name)->setIcon(swatchIcon(c.swatch));
    listener_ = sh_.form.listen([this](const ui::Control& c, ui::Change ch) { mirror(c, ch); });
}

MainWindow::~MainWindow() {
    sh_.form.unlisten(listener_);
}

void MainWindow::build() {
    canvas_ = new Canvas(*this, this);
    canvas_->setObjectName("shapes");
    setCentralWidget(canvas_);
    status_ = new QLabel(this);
    status_->setObjectName("statusLine");
    statusBar()->addWidget(status_, 1);
    warning_ = new QLabel(this);
    warning_->setObjectName("warningLine");
    warning_->setStyleSheet("QLabel { color: #a00000; }");
    warning_->hide();
    statusBar()->addPermanentWidget(warning_);

    for (const ui::Control& c : sh_.form.controls()) {
        const QString name = QString::fromStdString(c.name);
        QWidget* w = nullptr;
        switch (c.kind) {
        case ui::Kind::Button: {
            auto* b = new QPushButton(QString::fromStdString(c.text), canvas_);
            connect(b, &QPushButton::clicked, this, [this, n = c.name] { dispatchClick(n); });
            w = b;
            break;
        }
        case ui::Kind::Label: {
            auto* l = new QLabel(QString::fromStdString(c.text), canvas_);
            l->setAutoFillBackground(true);
            w = l;
            break;
        }
        case ui::Kind::TextField: {
            auto* t = new QLineEdit(QString::fromStdString(c.text), canvas_);
            if (c.maxLength > 0) t->setMaxLength(c.maxLength);
            t->installEventFilter(this);
            connect(t, &QLineEdit::textEdited, this,
                    [this, n = c.name](const QString& s) { sh_.form.setText(n, s.toStdString()); });
            w = t;
            break;
        }
        case ui::Kind::OptionButton: {
            auto* r = new QRadioButton(QString::fromStdString(c.text), canvas_);
            r->setAutoExclusive(false); // the model decides which one is selected
            r->setChecked(c.checked);
            r->setAutoFillBackground(true);
            connect(r, &QRadioButton::clicked, this, [this, n = c.name, r] {
                r->setChecked(sh_.form.checked(n));
                dispatchClick(n);
            });
            w = r;
            break;
        }
        case ui::Kind::PictureBox:
            w = new PictureView(c.name == "Picture1" ? sh_.picture1 : sh_.picture2, canvas_);
            break;
        case ui::Kind::FileList: {
            auto* l = new QListWidget(canvas_);
            connect(l, &QListWidget::itemClicked, this, [this, n = c.name, l] {
                sh_.form.select(n, l->currentRow());
                dispatchClick(n);
            });
            w = l;
            break;
        }
        case ui::Kind::Menu: {
            QMenu* parentMenu = c.parent.empty() ? nullptr : menus_[c.parent];
            const bool hasChildren = !sh_.form.menuChildren(c.name).empty();
            QAction* a = nullptr;
            if (hasChildren) {
                QMenu* m = parentMenu ? parentMenu->addMenu(QString::fromStdString(c.text))
                                      : menuBar()->addMenu(QString::fromStdString(c.text));
                m->setObjectName(name);
                menus_[c.name] = m;
                a = m->menuAction();
            } else {
                a = parentMenu ? parentMenu->addAction(QString::fromStdString(c.text))
                               : menuBar()->addAction(QString::fromStdString(c.text));
                // Only items whose mark mirrors a setting show a check box; the model
                // decides the mark, not the click.
                a->setCheckable(c.checkable);
                if (!c.shortcut.empty())
                    a->setShortcut(QKeySequence(QString::fromStdString(c.shortcut)));
                connect(a, &QAction::triggered, this, [this, n = c.name, a] {
                    if (a->isCheckable()) showMark(sh_.form.get(n));
                    // Items of menus that are never shown stay out of reach.
                    if (reachable(n)) dispatchClick(n);
                });
            }
            a->setObjectName(name);
            a->setVisible(c.visible);
            a->setEnabled(c.enabled);
            if (!c.group.empty()) {
                // Radio marks; an exclusive group that allows none, for the imported scale.
                QActionGroup*& g = groups_[c.group];
                if (!g) {
                    g = new QActionGroup(this);
                    g->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
                }
                g->addAction(a);
            }
            actions_[c.name] = a;
            if (a->isCheckable()) showMark(c);
            break;
        }
        case ui::Kind::Timer: {
            auto* t = new QTimer(this);
            t->setObjectName(name);
            t->setInterval(c.interval);
            if (c.name == "Timer2") {
                // The slow-animation tick only ends a wait; a repaint a millisecond would
                // keep a core busy.
                connect(t, &QTimer::timeout, this,
                        [this, n = c.name] { runHandler([&] { ev_.click(sh_, n); }, false); });
            } else {
                connect(t, &QTimer::timeout, this, [this, n = c.name] { dispatchClick(n); });
            }
            if (c.enabled) t->start();
            timers_[c.name] = t;
            break;
        }
        }
        if (w) {
            w->setObjectName(name);
            if (c.backColor >= 0 && c.kind != ui::Kind::PictureBox) {
                QPalette p = w->palette();
                p.setColor(QPalette::Window, toQColor(c.backColor));
                p.setColor(QPalette::Button, toQColor(c.backColor));
                w->setPalette(p);
            }
            w->setVisible(c.visible);
            widgets_[c.name] = w;
        }
    }
    // The design places suit a smaller font than most desktops use: widen the columns until
    // every label shows its whole caption.
    for (const ui::Control& c : sh_.form.controls()) {
        if (c.kind != ui::Kind::Label || c.w <= 0) continue;
        const QWidget* l = control(c.name);
        const int need = l->fontMetrics().horizontalAdvance(QString::fromStdString(c.text)) + 6;
        scaleX_ = std::max(scaleX_, static_cast<double>(need) / c.w);
    }
    scaleX_ = std::min(scaleX_, 1.6);
    for (const ui::Control& c : sh_.form.controls())
        if (QWidget* w = control(c.name)) w->setGeometry(place(c));
}

QRect MainWindow::place(const ui::Control& c) const {
    // Picture boxes keep their pixel places: the program moves and sizes them itself.
    if (c.kind == ui::Kind::PictureBox) return QRect(c.x, c.y, c.w, c.h);
    const int x = static_cast<int>(std::lround(c.x * scaleX_));
    int w = static_cast<int>(std::lround(c.w * scaleX_));
    if (c.kind == ui::Kind::Button || c.kind == ui::Kind::OptionButton)
        if (const QWidget* b = control(c.name)) w = std::max(w, b->sizeHint().width());
    return QRect(x, c.y, w, c.h);
}

void MainWindow::mirror(const ui::Control& c, ui::Change ch) {
    if (auto it = timers_.find(c.name); it != timers_.end()) {
        QTimer* t = it->second;
        t->setInterval(std::max(0, c.interval));
        // A timer with interval 0 does not tick, as a stopped timer.
        if (c.enabled && c.interval > 0) {
            if (!t->isActive() || ch == ui::Change::Interval) t->start();
        } else {
            t->stop();
        }
        return;
    }
    // The desktop's own screen saver waits while ours runs.
    if (c.name == "ssaver" && ch == ui::Change::Checked) inhibitor_.hold(c.checked);
    if (auto it = actions_.find(c.name); it != actions_.end()) {
        QAction* a = it->second;
        a->setVisible(c.visible);
        a->setEnabled(c.enabled);
        if (a->isCheckable()) showMark(c);
        a->setText(QString::fromStdString(c.text));
        return;
    }
    auto it = widgets_.find(c.name);
    if (it == widgets_.end()) return;
    QWidget* w = it->second;
    switch (ch) {
    case ui::Change::Visible:
        w->setVisible(c.visible);
        break;
    case ui::Change::Enabled:
        w->setEnabled(c.enabled);
        break;
    case ui::Change::Geometry:
        w->setGeometry(place(c));
        break;
    case ui::Change::Selected:
    case ui::Change::Checked:
        if (auto* r = qobject_cast<QRadioButton*>(w)) r->setChecked(c.checked);
        if (auto* l = qobject_cast<QListWidget*>(w)) l->setCurrentRow(c.selected);
        break;
    case ui::Change::Items:
        if (auto* l = qobject_cast<QListWidget*>(w)) {
            l->clear();
            for (const std::string& item : c.items) l->addItem(QString::fromStdString(item));
            l->setCurrentRow(c.selected);
        }
        break;
    case ui::Change::Text:
        if (auto* t = qobject_cast<QLineEdit*>(w)) {
            const QString s = QString::fromStdString(c.text);
            if (t->text() != s) {
                if (t->maxLength() < s.size()) t->setMaxLength(static_cast<int>(s.size()));
                t->setText(s);
            }
        } else if (auto* l = qobject_cast<QLabel*>(w)) {
            l->setText(QString::fromStdString(c.text));
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            b->setText(QString::fromStdString(c.text));
        }
        break;
    default:
        break;
    }
}

void MainWindow::showMark(const ui::Control& c) {
    if (c.group.empty()) {
        actions_.at(c.name)->setChecked(c.checked);
        return;
    }
    // The group unchecks the others when one is checked: the unchecked first, so that it
    // has nothing of its own to undo.
    for (const bool mark : {false, true})
        for (const ui::Control& m : sh_.form.controls())
            if (m.group == c.group && m.checked == mark)
                if (auto it = actions_.find(m.name); it != actions_.end())
                    it->second->setChecked(mark);
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
        coveredResize_ = sh_.st.colormode4 != 0;
        return windowResized(sh_);
    }
    // The colour editor has closed over a drawing it kept at the size it had before.
    if (!coveredResize_ || sh_.st.colormode4 != 0) return false;
    coveredResize_ = false;
    return reshowDrawing(sh_);
}

void MainWindow::dispatchClick(const std::string& name) {
    if (name == "Timer1") markForFrame("Timer1 tick");
    if (name == "editcolors") markForFrame("Edit colors");
    if (name == "prevdrawing") markForFrame("Previous drawing");
    runHandler([&] { ev_.click(sh_, name); });
}

void MainWindow::markForFrame(const char* what) {
    if (!timing_.on) return;
    timing_.pending = what;
    timing_.pendingStart = timing_.clock.elapsed();
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
    if (!timing_.on || control("Picture1")->pos() == before) return;
    // A frame: the picture moved, and Qt shows it in this turn of the event loop.
    const qint64 now = timing_.clock.elapsed();
    if (timing_.lastFrame >= 0)
        timing_.largestGap = std::max(timing_.largestGap, now - timing_.lastFrame);
    timing_.lastFrame = now;
    ++timing_.frames;
    if (now - timing_.periodStart >= 1000) {
        std::fprintf(stderr, "vortalis-timing: %d frames in %lld ms, largest gap %lld ms\n",
                     timing_.frames, static_cast<long long>(now - timing_.periodStart),
                     static_cast<long long>(timing_.largestGap));
        timing_.frames = 0;
        timing_.largestGap = 0;
        timing_.periodStart = now;
    }
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

void MainWindow::noteCanvasPainted() {
    if (!timing_.on || !timing_.pending) return;
    std::fprintf(stderr, "vortalis-timing: %s to frame %lld ms\n", timing_.pending,
                 static_cast<long long>(timing_.clock.elapsed() - timing_.pendingStart));
    timing_.pending = nullptr;
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
