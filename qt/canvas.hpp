#pragma once
// The drawing area and the picture boxes on it: thin widgets that show surfaces and pass the
// mouse and the keys on to the window.
#include "surface/surface.hpp"

#include <QImage>
#include <QWidget>

namespace vx {

class MainWindow;

// Shows the window surface and hosts the controls at their design positions.
class Canvas : public QWidget {
    Q_OBJECT
  public:
    Canvas(MainWindow& w, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void keyReleaseEvent(QKeyEvent*) override;
    void wheelEvent(QWheelEvent*) override;

  private:
    MainWindow& w_;
    int wheelEighths_ = 0; // a turn not yet a whole notch
    QImage image_;
};

// Shows a picture surface (Picture1). It keeps the picture as an image between changes, so
// that gliding across the window costs a copy of the image, not a conversion of the surface.
class PictureView : public QWidget {
    Q_OBJECT
  public:
    PictureView(const Surface& s, QWidget* parent);
    // The surface has changed: the next paint converts it again.
    void changed();

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    const Surface& s_;
    QImage image_;
    bool current_ = false;
};

} // namespace vx
