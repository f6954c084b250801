#include "platform/platform.hpp"

#include "output/bmpwriter.hpp"
#include "platform/atomicfile.hpp"
#include "surface/surface.hpp"

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

bool Platform::saveBitmap(const Surface& s, const std::string& file, std::string& error) {
    if (s.width() <= 0 || s.height() <= 0) {
        error = "the picture is empty";
        return false;
    }
    return writeFileAtomically(file, encodeBmp24(s), error);
}

bool Platform::printWindow(Shapes&, std::string& message) {
    message = "no printer is available";
    return false;
}

} // namespace vx
