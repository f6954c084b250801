#pragma once
// Number rules shared by every generator: rounding, field numbers, the random source.
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vx {

// Greatest whole number not above v (also for negative values).
inline double vfloor(double v) {
    return std::floor(v);
}

// Conversion to an integer: nearest, halves to the even neighbour.
inline double roundHalfEven(double v) {
    double r = std::nearbyint(v); // default rounding mode is to-nearest-even
    return r;
}
inline int32_t toInt32(double v) {
    if (!(v == v)) return 0;
    double r = roundHalfEven(v);
    if (r > 2147483647.0) return INT32_MAX;
    if (r < -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(r);
}
inline int16_t toInt16(double v) {
    double r = roundHalfEven(v);
    if (!(r == r)) return 0;
    if (r > 32767.0) return 32767;
    if (r < -32768.0) return -32768;
    return static_cast<int16_t>(r);
}
inline double toSingle(double v) {
    // Through memory: GCC 12 at -O2 vectorises two round trips side by side and then drops
    // them, losing the rounding that traced shapes depend on.
    volatile float f = static_cast<float>(v);
    return f;
}

// Pixel offset from a centre pixel: nearest, halves towards zero. Odd-symmetric, so mirrored
// points select mirrored pixels; and a move of at most one pixel never skips a pixel.
inline int pixelOffset(double d) {
    double a = std::fabs(d);
    double f = std::floor(a);
    double r = (a - f > 0.5) ? f + 1.0 : f;
    if (r > 1e9) r = 1e9;
    int i = static_cast<int>(r);
    return d < 0 ? -i : i;
}

inline double clampTo(double v, double lo, double hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

// The leading number of a text field: blanks anywhere are ignored, then an optional sign,
// digits, decimal point and exponent up to the first character that cannot continue it.
double fieldNumber(std::string_view text);
// The number a field reads when the text is that number and nothing more (blanks aside), as
// typed options must be; nothing otherwise.
std::optional<double> wholeFieldNumber(std::string_view text);

// Plain decimal text of a value as a field shows it ("200", "12.5", "-3").
std::string numberText(double v);

// Where a random source stands: restoring it replays the same numbers.
struct RandomState {
    uint64_t s[4];
    bool operator==(const RandomState&) const = default;
};

// One seedable uniform source in [0, 1).
class Random {
  public:
    explicit Random(uint64_t seed = 1) { seed_(seed); }
    void seed(uint64_t s) { seed_(s); }
    RandomState state() const { return {{s_[0], s_[1], s_[2], s_[3]}}; }
    void restore(const RandomState& r) {
        for (int i = 0; i < 4; ++i) s_[i] = r.s[i];
    }
    double next() {
        // xoshiro256**
        const uint64_t result = rotl(s_[1] * 5, 7) * 9;
        const uint64_t t = s_[1] << 17;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = rotl(s_[3], 45);
        return static_cast<double>(result >> 11) * 0x1.0p-53;
    }
    // A whole number from 1 to n: floor(n * r) + 1.
    int upTo(double n) { return static_cast<int>(std::floor(n * next())) + 1; }

  private:
    static uint64_t rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    void seed_(uint64_t s) {
        for (auto& v : s_) {
            s += 0x9e3779b97f4a7c15ULL;
            uint64_t z = s;
            z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
            z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
            v = z ^ (z >> 31);
        }
    }
    uint64_t s_[4];
};

} // namespace vx
