#pragma once
// VORTALIS_TIMING=1: for the measuring scripts, the frames the main loop shows a second with
// the largest gap between two, and the time from an event (a Timer1 tick, a mouse click,
// "Edit colors") to the frame that shows what it drew; a line on stderr for each.
#include <QElapsedTimer>
#include <cstdint>
#include <string>

namespace vx {

class FrameTiming {
  public:
    // On when VORTALIS_TIMING is 1; the clock starts now.
    FrameTiming();
    bool on() const { return on_; }
    // Something happened that the next painted frame shows.
    void mark(const char* what) {
        if (on_) markAt(what, clock_.elapsed());
    }
    // The drawing area was painted.
    void painted() {
        if (on_) print(paintedAt(clock_.elapsed()));
    }
    // The main loop moved the picture: a frame.
    void frameShown() {
        if (on_) print(frameAt(clock_.elapsed()));
    }

    // The same at a time on the clock in milliseconds, each giving the line it reports, or
    // an empty string.
    void markAt(const char* what, int64_t ms);
    std::string paintedAt(int64_t ms);
    std::string frameAt(int64_t ms);

  private:
    static void print(const std::string& line);

    bool on_;
    QElapsedTimer clock_;
    const char* pending_ = nullptr; // what waits for the next frame to show it
    int64_t pendingStart_ = 0;
    int64_t lastFrame_ = -1, periodStart_ = 0, largestGap_ = 0;
    int frames_ = 0;
};

} // namespace vx
