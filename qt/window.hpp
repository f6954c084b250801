#pragma once
// The real window: mirrors the form model onto widgets and turns widget events into handlers.
// Its controls are built and mirrored in qt/controls.cpp; the drawing area is qt/canvas.hpp.
#include "app/events.hpp"
#include "app/shapes.hpp"
#include "qt/canvas.hpp"
#include "qt/frametiming.hpp"
#include "qt/inhibit.hpp"

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QKeyEvent;
class QLabel;
class QMenu;
class QTimer;

namespace vx {

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

    // VORTALIS_TIMING=1: something happened that the next frame shows; the canvas was
    // painted.
    void markForFrame(const char* what) { timing_.mark(what); }
    void noteCanvasPainted() { timing_.painted(); }
    // Work to do once the window shows the frame being made.
    void afterFrame(std::function<void()> f);
    void runAfterFrame();

  protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    // "P" and "S" that reach the menu bar (it keeps the keyboard after a menu is closed with
    // Escape); true when used.
    bool menuBarKey(QKeyEvent* e);
    void closeEvent(QCloseEvent* e) override;

  private:
    // The drawing area, the status line and every control of the form, at its place.
    void build();
    void buildFrame();
    // One factory for each kind of control; those that make no widget give null.
    QWidget* makeControl(const ui::Control& c);
    QWidget* makeButton(const ui::Control& c);
    QWidget* makeLabel(const ui::Control& c);
    QWidget* makeTextField(const ui::Control& c);
    QWidget* makeOptionButton(const ui::Control& c);
    QWidget* makeFileList(const ui::Control& c);
    void makeMenu(const ui::Control& c);
    QAction* makeMenuItem(const ui::Control& c, QMenu* parent);
    void makeTimer(const ui::Control& c);
    // Names the widget, gives it the control's colour and visibility, and keeps it.
    void keepWidget(QWidget* w, const ui::Control& c);
    // The design places suit a smaller font than most desktops use: widens the columns until
    // every label shows its whole caption.
    void widenColumns();

    // Shows a change of the form on the control's widget, menu item or timer.
    void mirror(const ui::Control& c, ui::Change ch);
    void mirrorTimer(QTimer* t, const ui::Control& c, ui::Change ch);
    void mirrorMenuItem(QAction* a, const ui::Control& c);
    void mirrorWidget(QWidget* w, const ui::Control& c, ui::Change ch);
    void mirrorText(QWidget* w, const ui::Control& c);
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
    FrameTiming timing_;
};

// Key code of a Qt key as the handlers see it, or 0.
int keyCode(int qtKey);

} // namespace vx
