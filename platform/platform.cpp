#include "platform/platform.hpp"

#include <chrono>
#include <ctime>

namespace vx {

double Platform::clockSeconds() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const double frac = duration_cast<microseconds>(now.time_since_epoch()).count() % 1000000 / 1e6;
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + frac;
}

double Platform::steadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void Platform::warn(const std::string& text) {
    if (text.empty() || text == warned_) return;
    warned_ = text;
    showWarning(printable(text));
}

Result<std::string> Platform::printWindow() {
    return fail("no printer is available");
}

Result<Surface> Platform::readPicture(const std::string&) {
    return fail("pictures cannot be read without a desktop");
}

} // namespace vx
