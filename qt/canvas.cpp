#include "qt/canvas.hpp"

#include "app/events.hpp"
#include "qt/image.hpp"
#include "qt/window.hpp"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace vx {

namespace {

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

} // namespace

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

void Canvas::wheelEvent(QWheelEvent* e) {
    // A notch is 120 eighths of a degree; touchpads send less at a time.
    wheelEighths_ += e->angleDelta().y();
    const int rows = -wheelEighths_ / 120;
    wheelEighths_ += rows * 120;
    if (rows != 0) w_.runHandler([&] { w_.events().wheel(w_.shapes(), rows); });
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

} // namespace vx
