#include "qt/qtplatform.hpp"

#include "app/history.hpp"
#include "qt/image.hpp"
#include "qt/window.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStringList>
#include <QVBoxLayout>
#include <algorithm>

namespace vx {

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

std::optional<double> QtPlatform::screenDotsPerInch() {
    const QScreen* screen = w_ ? w_->screen() : QGuiApplication::primaryScreen();
    // A screen that does not say its physical size gives no resolution worth stating.
    if (!screen || screen->physicalSize().isEmpty()) return std::nullopt;
    const double dpi = screen->physicalDotsPerInch() * screen->devicePixelRatio();
    if (!(dpi >= 20 && dpi <= 2000)) return std::nullopt;
    return dpi;
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
    if (w_) w_->showStatus(QString::fromStdString(lastStatus));
}

bool QtPlatform::confirm(const std::string& question) {
    return QMessageBox::question(
               w_, QStringLiteral("Vortalis"), QString::fromStdString(printable(question)),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void QtPlatform::showWarning(const std::string& text) {
    Platform::showWarning(text);
    if (w_) w_->showWarning(QString::fromStdString(text));
}

std::optional<std::string> QtPlatform::askOpenFile(const std::string& title,
                                                   const std::string& filter) {
    const QString file = QFileDialog::getOpenFileName(
        w_, QString::fromStdString(title), QDir::currentPath(), QString::fromStdString(filter));
    if (file.isEmpty()) return std::nullopt;
    return file.toStdString();
}

std::optional<std::string> QtPlatform::askChoice(const std::string& title, const std::string& label,
                                                 const std::vector<std::string>& choices,
                                                 int current) {
    QStringList items;
    for (const std::string& c : choices) items << QString::fromStdString(c);
    bool ok = false;
    const QString item =
        QInputDialog::getItem(w_, QString::fromStdString(title), QString::fromStdString(label),
                              items, current, false, &ok);
    if (!ok) return std::nullopt;
    return item.toStdString();
}

std::optional<std::vector<bool>> QtPlatform::askChecks(const std::string& title,
                                                       const std::string& label,
                                                       const std::vector<std::string>& names,
                                                       const std::vector<bool>& ticked) {
    QDialog d(w_);
    d.setWindowTitle(QString::fromStdString(title));
    auto* layout = new QVBoxLayout(&d);
    layout->addWidget(new QLabel(QString::fromStdString(label), &d));
    std::vector<QCheckBox*> boxes;
    for (size_t i = 0; i < names.size(); ++i) {
        auto* box = new QCheckBox(QString::fromStdString(names[i]), &d);
        box->setObjectName(QStringLiteral("check%1").arg(i));
        box->setChecked(i < ticked.size() && ticked[i]);
        layout->addWidget(box);
        boxes.push_back(box);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    layout->addWidget(buttons);
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    std::vector<bool> out;
    for (const QCheckBox* b : boxes) out.push_back(b->isChecked());
    return out;
}

std::optional<std::string> QtPlatform::askFolder(const std::string& title) {
    const QString dir =
        QFileDialog::getExistingDirectory(w_, QString::fromStdString(title), QDir::currentPath());
    if (dir.isEmpty()) return std::nullopt;
    return dir.toStdString();
}

} // namespace vx
