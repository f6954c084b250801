#pragma once
// Small pictures of drawings, each a real render of its drawing scaled down smoothly, made on
// worker threads so that the window never waits for them.
#include "model/drawing.hpp"
#include "surface/surface.hpp"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace vx {

// The picture as large as fits a w x h box, each pixel the mean of the pixels it covers.
Surface shrinkToFit(const Surface& s, int w, int h);

// The drawing made at its own width and height, fitted to a w x h box.
Surface thumbnailOf(const Drawing& d, int w, int h);

class ThumbnailWorkers {
  public:
    struct Job {
        uint64_t id;
        Drawing drawing; // at the size it is made
        int width, height;
    };
    struct Done {
        uint64_t id;
        Surface thumbnail;
    };

    // threads 0: one a core, at most four.
    explicit ThumbnailWorkers(unsigned threads = 0);
    ~ThumbnailWorkers();
    ThumbnailWorkers(const ThumbnailWorkers&) = delete;
    ThumbnailWorkers& operator=(const ThumbnailWorkers&) = delete;

    // The jobs wanted now, the first first; queued jobs left out of the list are dropped (one
    // already being made still comes).
    void want(std::vector<Job> jobs);
    // The thumbnails finished since the last call.
    std::vector<Done> takeDone();
    // Jobs queued or being made, or finished and not yet taken.
    bool busy() const;
    // Waits until nothing is queued or being made, at most `seconds`.
    void waitUntilIdle(double seconds = 60);

  private:
    void work();

    mutable std::mutex m_;
    std::condition_variable wake_, idle_;
    std::deque<Job> queue_;
    std::vector<Done> done_;
    int running_ = 0;
    bool stop_ = false;
    std::vector<std::thread> threads_;
};

} // namespace vx
