#pragma once
// Text from outside (file names above all) made safe to show on one line of a status bar or a
// terminal.
#include <string>
#include <string_view>

namespace vx {

// The text with every control character (C0, DEL and C1, which a terminal may obey) and every
// byte that is not part of valid UTF-8 shown as "?"; the rest as it is.
inline std::string printable(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const size_t len = b < 0x80           ? 1
                           : (b >> 5) == 0x6  ? 2
                           : (b >> 4) == 0xE  ? 3
                           : (b >> 3) == 0x1E ? 4
                                              : 0;
        bool ok = len > 0 && i + len <= s.size();
        char32_t c = len == 1 ? b : len == 2 ? b & 0x1F : len == 3 ? b & 0x0F : b & 0x07;
        for (size_t k = 1; ok && k < len; ++k) {
            const auto n = static_cast<unsigned char>(s[i + k]);
            ok = (n & 0xC0) == 0x80;
            c = (c << 6) | (n & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not valid UTF-8.
        static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        ok = ok && c >= kLeast[len] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
        if (!ok || c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
            out += '?';
            i += ok ? len : 1;
            continue;
        }
        out.append(s.substr(i, len));
        i += len;
    }
    return out;
}

} // namespace vx
