#include "qt/workers.hpp"

#include "qt/qtplatform.hpp"
#include "qt/window.hpp"

#include <algorithm>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vx {

namespace {

// The pictures of a page are many and quick: as many threads as cores, not more than four.
unsigned threadCount() {
    return std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
}

} // namespace

Workers::Workers(std::function<void(std::function<void()>)> post) : post_(std::move(post)) {}

Workers::~Workers() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    ready_.notify_all();
    for (std::thread& t : threads_) t.join();
}

void Workers::add(std::vector<Platform::Job> jobs) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (Platform::Job& j : jobs) queue_.push_back(std::move(j));
        while (threads_.size() < std::min<size_t>(threadCount(), queue_.size()))
            threads_.emplace_back([this] { work(); });
    }
    ready_.notify_all();
}

void Workers::work() {
    // The window comes first: these threads take what it leaves.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), 10);
    for (;;) {
        Platform::Job job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        try {
            job.run();
        } catch (...) {
            // What run left (nothing, after a failure) is what done finds.
        }
        post_(std::move(job.done));
    }
}

void QtPlatform::runOnWorkers(std::vector<Job> jobs) {
    if (!workers_) {
        jobsContext_ = std::make_unique<QObject>();
        workers_ = std::make_unique<Workers>([this](std::function<void()> done) {
            QMetaObject::invokeMethod(
                jobsContext_.get(),
                [this, done = std::move(done)] {
                    if (w_)
                        w_->runHandler(done);
                    else
                        done();
                },
                Qt::QueuedConnection);
        });
    }
    workers_->add(std::move(jobs));
}

} // namespace vx
