#include "qt/frametiming.hpp"

#include <QString>
#include <QtGlobal>
#include <algorithm>
#include <cstdio>
#include <utility>

namespace vx {

namespace {

// The frames of a period are summed up once it has lasted this long.
constexpr int64_t kPeriodMs = 1000;

template <class... A> std::string line(const char* format, A... a) {
    char buf[256];
    std::snprintf(buf, sizeof buf, format, a...);
    return buf;
}

} // namespace

FrameTiming::FrameTiming() : on_(qEnvironmentVariable("VORTALIS_TIMING") == "1") {
    clock_.start();
}

void FrameTiming::markAt(const char* what, int64_t ms) {
    pending_ = what;
    pendingStart_ = ms;
}

std::string FrameTiming::paintedAt(int64_t ms) {
    if (!pending_) return {};
    const char* what = std::exchange(pending_, nullptr);
    return line("vortalis-timing: %s to frame %lld ms\n", what,
                static_cast<long long>(ms - pendingStart_));
}

std::string FrameTiming::frameAt(int64_t ms) {
    if (lastFrame_ >= 0) largestGap_ = std::max(largestGap_, ms - lastFrame_);
    lastFrame_ = ms;
    ++frames_;
    if (ms - periodStart_ < kPeriodMs) return {};
    std::string out =
        line("vortalis-timing: %d frames in %lld ms, largest gap %lld ms\n", frames_,
             static_cast<long long>(ms - periodStart_), static_cast<long long>(largestGap_));
    frames_ = 0;
    largestGap_ = 0;
    periodStart_ = ms;
    return out;
}

void FrameTiming::print(const std::string& text) {
    if (!text.empty()) std::fputs(text.c_str(), stderr);
}

} // namespace vx
