#pragma once
// The real window: mirrors the form model onto widgets and turns widget events into handlers.
#include "app/events.hpp"
#include "app/shapes.hpp"
#include "qt/inhibit.hpp"

#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QTimer;

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

  private:
    MainWindow& w_;
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

// Asks for a line of text such as a drawing code. The field wraps, and is sized to show the
// longest code the window makes whole; Return accepts.
class TextDialog : public QDialog {
    Q_OBJECT
  public:
    TextDialog(QWidget* parent, const QString& title, const QString& label);
    QPlainTextEdit* field() const { return field_; }
    QString text() const;

  protected:
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    QPlainTextEdit* field_;
};

class BackgroundTask;

class QtPlatform : public Platform {
  public:
    explicit QtPlatform(MainWindow*& w);
    ~QtPlatform() override;
    void pumpEvents() override;
    void maximise() override;
    void quit() override;
    void later(std::function<void()> f) override;
    void copyText(const std::string& text) override;
    std::optional<std::string> askText(const std::string& title, const std::string& label) override;
    int drawText(Surface& s, int x, int y, const std::string& text, int32_t colour) override;
    Result<Surface> readPicture(const std::string& file) override;
    std::optional<std::string> askSaveFile(const std::string& title, const std::string& suggested,
                                           const std::string& filter) override;
    std::optional<int> askNumber(const std::string& title, const std::string& label, int value,
                                 int min, int max) override;
    std::optional<SurfaceSize> screenPixels() override;
    void status(const std::string& text) override;
    bool confirm(const std::string& question) override;
    // In qt/print.cpp.
    Result<std::string> printWindow() override;
    // In qt/background.cpp.
    std::optional<std::vector<int>> askForm(const std::string& title,
                                            const std::vector<FormQuestion>& qs) override;
    bool runInBackground(BackgroundWork w) override;
    BackgroundTask* backgroundTask() const { return background_.get(); }

  protected:
    void showWarning(const std::string& text) override;

  private:
    MainWindow*& w_;
    std::unique_ptr<BackgroundTask> background_;
};

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    MainWindow(Shapes& sh, const Events& events);
    ~MainWindow() override;

    Shapes& shapes() { return sh_; }
    const Events& events() const { return ev_; }
    QWidget* control(const std::string& name) const;
    QAction* menuItem(const std::string& name) const;
    QTimer* timer(const std::string& name) const;
    Canvas* canvas() const { return canvas_; }
    void maximiseNow();
    void showStatus(const QString& text);
    QString statusText() const;
    // A warning beside the status line, until the user's next key or click.
    void showWarning(const QString& text);
    QString warningText() const;

    // Runs a handler, then shows what it drew.
    void dispatchClick(const std::string& name);
    // Runs code as a handler: the main loop waits while it runs, a failure goes to the
    // status line instead of ending the program.
    void runHandler(const std::function<void()>& f, bool repaint = true);
    int handlerDepth() const { return depth_; }
    // Starts the steady timer that runs the main page's end and the main loop's passes.
    void startLoop();
    void loopTick();
    QTimer* loopTimer() const { return loop_; }
    // A menu item the user can reach: it and every menu above it visible and enabled.
    bool reachable(const std::string& item) const;
    bool dispatchKeyDown(const std::string& name, int key);
    bool dispatchKeyUp(const std::string& name, int key);
    void refresh();
    // Keeps the surface the size of the drawing area; what it showed is shown again at the
    // new size once no handler runs.
    void fitSurface();

    // VORTALIS_TIMING=1: frames shown by the main loop, and the time from a Timer1 tick, a
    // mouse click or "Edit colors" to the frame that shows what it drew, on stderr.
    void markForFrame(const char* what);
    void noteCanvasPainted();
    // Work to do once the window shows the frame being made.
    void afterFrame(std::function<void()> f);
    void runAfterFrame();

  protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    void build();
    void mirror(const ui::Control& c, ui::Change ch);
    // Where a control goes on the screen, from its design place.
    QRect place(const ui::Control& c) const;
    // A menu item's mark as the model has it; either-or items as a group.
    void showMark(const ui::Control& c);
    // After the outermost handler: the window's size followed. True when it drew.
    bool followSize();

    Shapes& sh_;
    const Events& ev_;
    Canvas* canvas_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* warning_ = nullptr;
    QObject* dismiss_ = nullptr; // watches for the key or click that ends the warning
    std::map<std::string, QWidget*> widgets_;
    std::map<std::string, QAction*> actions_;
    std::map<std::string, QMenu*> menus_;
    std::map<std::string, QActionGroup*> groups_;
    std::map<std::string, QTimer*> timers_;
    QTimer* loop_ = nullptr;
    int depth_ = 0;
    bool resized_ = false;       // the surface took a new size that is not shown yet
    bool coveredResize_ = false; // it did while the colour editor covered the drawing
    double scaleX_ = 1.0;
    int listener_ = 0;
    std::vector<std::function<void()>> afterFrame_;
    ScreenSaverInhibitor inhibitor_;
    struct Timing {
        bool on = false;
        QElapsedTimer clock;
        qint64 lastFrame = -1, periodStart = 0, largestGap = 0, pendingStart = 0;
        const char* pending = nullptr; // what waits for the next frame to show it
        int frames = 0;
    } timing_;
};

// Key code of a Qt key as the handlers see it, or 0.
int keyCode(int qtKey);

} // namespace vx
