#include "surface/numeric.hpp"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace vx {

namespace {

struct FieldScan {
    double value = 0;
    bool whole = false; // the text held that number and nothing else
};

FieldScan scanField(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') s.push_back(c);
    // Scan the longest prefix that is a number: sign, digits, point, digits, exponent.
    size_t i = 0, n = s.size();
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < n && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return {};
    size_t end = i;
    if (i < n && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        size_t j = i + 1;
        if (j < n && (s[j] == '+' || s[j] == '-')) ++j;
        size_t ed = 0;
        while (j < n && s[j] >= '0' && s[j] <= '9') ++j, ++ed;
        if (ed > 0) end = j;
    }
    std::string num = s.substr(0, end);
    for (char& c : num)
        if (c == 'd' || c == 'D') c = 'e';
    double v = std::strtod(num.c_str(), nullptr);
    if (!std::isfinite(v)) v = v > 0 ? 1e300 : -1e300; // overflow: still a number, clamped later
    return {v, end == n};
}

} // namespace

double fieldNumber(std::string_view text) {
    return scanField(text).value;
}

std::optional<double> wholeFieldNumber(std::string_view text) {
    const FieldScan f = scanField(text);
    if (!f.whole) return std::nullopt;
    return f.value;
}

std::string numberText(double v) {
    if (!std::isfinite(v)) return "0";
    if (v == std::floor(v) && std::fabs(v) < 1e15) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.0f", v);
        std::string s = buf;
        return s == "-0" ? "0" : s;
    }
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

} // namespace vx
