#include "app/thumbnails.hpp"

#include "app/render.hpp"
#include "surface/shrink.hpp"

#include <algorithm>
#include <chrono>
#include <exception>

namespace vx {

Surface shrinkToFit(const Surface& s, int w, int h) {
    if (s.width() <= 0 || s.height() <= 0 || w <= 0 || h <= 0) return Surface(1, 1);
    // The scale that fits both sides, never enlarging.
    const double k =
        std::min({1.0, static_cast<double>(w) / s.width(), static_cast<double>(h) / s.height()});
    return shrink(s, std::max(1, static_cast<int>(s.width() * k)),
                  std::max(1, static_cast<int>(s.height() * k)));
}

Surface thumbnailOf(const Drawing& d, int w, int h) {
    return shrinkToFit(renderDrawing(d), w, h);
}

ThumbnailWorkers::ThumbnailWorkers(unsigned threads) {
    if (threads == 0) threads = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    for (unsigned i = 0; i < threads; ++i) threads_.emplace_back([this] { work(); });
}

ThumbnailWorkers::~ThumbnailWorkers() {
    {
        std::lock_guard<std::mutex> lock(m_);
        stop_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
}

void ThumbnailWorkers::want(std::vector<Job> jobs) {
    {
        std::lock_guard<std::mutex> lock(m_);
        queue_.assign(std::make_move_iterator(jobs.begin()), std::make_move_iterator(jobs.end()));
    }
    wake_.notify_all();
}

std::vector<ThumbnailWorkers::Done> ThumbnailWorkers::takeDone() {
    std::lock_guard<std::mutex> lock(m_);
    std::vector<Done> out;
    out.swap(done_);
    return out;
}

bool ThumbnailWorkers::busy() const {
    std::lock_guard<std::mutex> lock(m_);
    return !queue_.empty() || running_ > 0 || !done_.empty();
}

void ThumbnailWorkers::waitUntilIdle(double seconds) {
    std::unique_lock<std::mutex> lock(m_);
    idle_.wait_for(lock, std::chrono::duration<double>(seconds),
                   [this] { return queue_.empty() && running_ == 0; });
}

void ThumbnailWorkers::work() {
    std::unique_lock<std::mutex> lock(m_);
    while (true) {
        wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
        if (stop_) return;
        Job job = std::move(queue_.front());
        queue_.pop_front();
        ++running_;
        lock.unlock();
        Done d{job.id, {}};
        try {
            d.thumbnail = thumbnailOf(job.drawing, job.width, job.height);
        } catch (const std::exception&) {
            // Not enough memory for this one: its cell stays empty.
        }
        lock.lock();
        --running_;
        if (!stop_) done_.push_back(std::move(d));
        if (queue_.empty() && running_ == 0) idle_.notify_all();
    }
}

} // namespace vx
