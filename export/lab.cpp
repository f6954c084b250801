#include "export/lab.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace vx {

namespace {

constexpr double kEpsilon = 216.0 / 24389.0, kKappa = 24389.0 / 27.0;

double linear(int v) {
    const double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// The 256 channel values made linear once.
const std::array<double, 256>& linearTable() {
    static const std::array<double, 256> t = [] {
        std::array<double, 256> a{};
        for (int i = 0; i < 256; ++i) a[static_cast<size_t>(i)] = linear(i);
        return a;
    }();
    return t;
}

int encoded(double c) {
    c = std::clamp(c, 0.0, 1.0);
    const double v = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
    return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
}

double f(double t) {
    return t > kEpsilon ? std::cbrt(t) : (kKappa * t + 16) / 116;
}

double finv(double t) {
    const double t3 = t * t * t;
    return t3 > kEpsilon ? t3 : (116 * t - 16) / kKappa;
}

} // namespace

Lab labOf(int32_t rgb) {
    const auto& lin = linearTable();
    const double r = lin[static_cast<size_t>(rgb & 0xFF)];
    const double g = lin[static_cast<size_t>((rgb >> 8) & 0xFF)];
    const double b = lin[static_cast<size_t>((rgb >> 16) & 0xFF)];
    const double x = (0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / 0.95047;
    const double y = 0.2126729 * r + 0.7151522 * g + 0.0721750 * b;
    const double z = (0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / 1.08883;
    const double fx = f(x), fy = f(y), fz = f(z);
    return Lab{116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

int32_t rgbOfD50(const Lab& c) {
    const double fy = (c.l + 16) / 116, fx = fy + c.a / 500, fz = fy - c.b / 200;
    const double x50 = 0.96422 * finv(fx);
    const double y50 = c.l > kKappa * kEpsilon ? fy * fy * fy : c.l / kKappa;
    const double z50 = 0.82521 * finv(fz);
    // Bradford adaptation from D50 to D65.
    const double x = 0.9555766 * x50 - 0.0230393 * y50 + 0.0631636 * z50;
    const double y = -0.0282895 * x50 + 1.0099416 * y50 + 0.0210077 * z50;
    const double z = 0.0122982 * x50 - 0.0204830 * y50 + 1.3299098 * z50;
    const int r = encoded(3.2404542 * x - 1.5371385 * y - 0.4985314 * z);
    const int g = encoded(-0.9692660 * x + 1.8760108 * y + 0.0415560 * z);
    const int b = encoded(0.0556434 * x - 0.2040259 * y + 1.0572252 * z);
    return r | g << 8 | b << 16;
}

} // namespace vx
