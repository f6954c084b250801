#pragma once
// The screen saver's front end: screen-saver mode driven for a surface that fills a screen or
// a window the screen-saver host gives, through the same Shapes and handlers as the window.
#include "app/saver.hpp"
#include "app/shapes.hpp"

#include <QImage>
#include <QObject>
#include <QRegion>
#include <QTimer>
#include <functional>

class QApplication;

namespace vx {

// The desktop of a screen saver: nothing to maximise, no status line (warnings go to stderr),
// no printer; "Quit" ends the event loop.
class SaverPlatform : public Platform {
  public:
    void status(const std::string&) override {}
    void quit() override;

  protected:
    void showWarning(const std::string& text) override;
};

// Runs screen-saver mode for one Shapes: Timer1 and Timer2 as the form has them, the main
// loop's frames at the display's rate, and what each changes handed to `present`.
class SaverHost : public QObject {
    Q_OBJECT
  public:
    using Present = std::function<void(const QRegion&)>;
    // The moving picture went from `from` to `to`, unchanged: a front end that can move what
    // it shows does so and presents only what the picture uncovered.
    using Move = std::function<void(const QRect& from, const QRect& to)>;
    SaverHost(Shapes& sh, Present present, Move move = {}, QObject* parent = nullptr);
    ~SaverHost() override;

    // Screen-saver mode with its first drawing, then the timers and the frames; place tells
    // savers started together apart.
    void start(const SaverOptions& o, double framesPerSecond, int place = 0);
    // The surface follows its window; a new drawing fits the new size at once.
    void resize(int w, int h);

  private:
    void frame();
    void tick(const char* timer);
    QRect pictureShown() const;

    Shapes& sh_;
    Present present_;
    Move move_;
    QTimer frames_, timer1_, timer2_;
    int listener_ = 0;
    bool started_ = false;
};

// What the window shows on line y from x0 to x1 (both within the surface), the surface with
// the moving picture on it, as 0xFFRRGGBB.
void composeLine(const Shapes& sh, int y, int x0, int x1, uint32_t* dst);
// Composes what the window shows over r, the surface with the moving picture on it, into img
// (a surface-sized RGB32 image; made so when it is not).
void composeFrame(const Shapes& sh, const QRect& r, QImage& img);

// Ends the event loop on SIGTERM, SIGINT and SIGHUP, whatever the loop is doing.
void endOnSignals();
// After the clean-up, ends the process by the signal that ended the loop, if one did.
void endByCaughtSignal();

// --saver: full screen on every screen, each with its own drawings, until a key, a click or a
// move of the mouse beyond a few pixels.
int runOnScreens(QApplication& app, const SaverOptions& o);

// --window-id and --root: draws into a window of another program (over X11), following its
// size. 1 with a message when the window does not exist or goes away.
int runInWindow(int argc, char** argv, const SaverOptions& o);

} // namespace vx
