#pragma once
// A few threads beside the window's for short work (the pictures of the variations page): each
// job runs on one of them, and its done is handed back to the window's thread.
#include "platform/platform.hpp"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace vx {

class Workers {
  public:
    // post hands a function to the window's thread; it is called from the workers.
    explicit Workers(std::function<void(std::function<void()>)> post);
    // Jobs not started are dropped, running ones finished: nothing is posted after.
    ~Workers();
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

    void add(std::vector<Platform::Job> jobs);

  private:
    void work();

    std::function<void(std::function<void()>)> post_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Platform::Job> queue_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace vx
