#include "model/code.hpp"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vx {

namespace {

// Crockford's base 32: no I, L, O or U to mistake for 1, 0 or V.
constexpr char kAlphabet[] = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
constexpr int kGroup = 5;
constexpr unsigned kVersion = 0;
constexpr unsigned kColouringMark = 0x1B; // before the number of a new colouring

int symbolValue(char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c == 'O') c = '0';
    if (c == 'I' || c == 'L') c = '1';
    const char* p = std::strchr(kAlphabet, c);
    return c != '\0' && p ? static_cast<int>(p - kAlphabet) : -1;
}

// CRC-5 (x^5 + x^2 + 1) over the symbols: any one wrong symbol changes it.
int checkSymbol(const std::vector<int>& symbols) {
    unsigned crc = 0x1F;
    for (int v : symbols)
        for (int bit = 4; bit >= 0; --bit) {
            const unsigned in = (static_cast<unsigned>(v) >> bit) & 1u;
            const unsigned top = (crc >> 4) & 1u;
            crc = (crc << 1) & 0x1Fu;
            if (top ^ in) crc ^= 0x05u;
        }
    return static_cast<int>(crc);
}

class BitWriter {
  public:
    void put(uint64_t v, int bits) {
        for (int i = bits - 1; i >= 0; --i) bits_.push_back(((v >> i) & 1u) != 0);
    }
    void putDouble(double d) {
        uint64_t v = 0;
        std::memcpy(&v, &d, sizeof v);
        put(v, 64);
    }
    // Small counts in groups of four bits, each followed by whether another comes.
    void putCount(uint64_t v) {
        do {
            put(v & 15u, 4);
            v >>= 4;
            put(v != 0, 1);
        } while (v != 0);
    }
    std::vector<int> symbols() const {
        std::vector<int> out;
        for (size_t i = 0; i < bits_.size(); i += 5) {
            int v = 0;
            for (size_t k = i; k < i + 5; ++k) v = v << 1 | (k < bits_.size() && bits_[k] ? 1 : 0);
            out.push_back(v);
        }
        return out;
    }

  private:
    std::vector<bool> bits_;
};

class BitReader {
  public:
    explicit BitReader(const std::vector<int>& symbols) {
        for (int v : symbols)
            for (int bit = 4; bit >= 0; --bit) bits_.push_back(((v >> bit) & 1) != 0);
    }
    bool get(int bits, uint64_t& v) {
        if (pos_ + static_cast<size_t>(bits) > bits_.size()) return false;
        v = 0;
        for (int i = 0; i < bits; ++i) v = v << 1 | (bits_[pos_++] ? 1u : 0u);
        return true;
    }
    bool getDouble(double& d) {
        uint64_t v = 0;
        if (!get(64, v)) return false;
        std::memcpy(&d, &v, sizeof d);
        return std::isfinite(d);
    }
    bool getCount(uint64_t& v) {
        v = 0;
        for (int shift = 0; shift < 64; shift += 4) {
            uint64_t part = 0, more = 0;
            if (!get(4, part) || !get(1, more)) return false;
            v |= part << shift;
            if (!more) return true;
        }
        return false;
    }
    // Fewer than five bits are left: no more than the padding of the last symbol.
    bool nearEnd() const { return bits_.size() - pos_ < 5; }
    // What is left must be the padding of the last symbol: fewer than five zero bits.
    bool atEnd() const {
        if (bits_.size() - pos_ >= 5) return false;
        for (size_t k = pos_; k < bits_.size(); ++k)
            if (bits_[k]) return false;
        return true;
    }

  private:
    std::vector<bool> bits_;
    size_t pos_ = 0;
};

struct Field {
    double DrawSettings::*value;
    double lo;
    int bits;
};
// The numbers of a drawing's settings, each from its least value, in as few bits as their
// whole numbers need.
constexpr Field kFields[] = {{&DrawSettings::size, 40, 9},
                             {&DrawSettings::detail, 1, 5},
                             {&DrawSettings::complexity, 1, 5},
                             {&DrawSettings::smoothness, 1, 4}};
constexpr double kHigh[] = {400, 25, 25, 9};

bool wholeAndInRange(const DrawSettings& s) {
    for (size_t i = 0; i < std::size(kFields); ++i) {
        const double v = s.*kFields[i].value;
        if (v != std::floor(v) || v < kFields[i].lo || v > kHigh[i]) return false;
    }
    return true;
}

Error notACode(const std::string& why) {
    return fail("This is not a drawing code: " + why + ".");
}

// The symbols of a code, separators left out, once its check symbol matches them.
Result<std::vector<int>> checkedSymbols(std::string_view code) {
    std::vector<int> symbols;
    for (char ch : code) {
        if (ch == '-' || ch == ' ') continue;
        const int v = symbolValue(ch);
        if (v < 0) return notACode(std::string("it holds \"") + ch + "\"");
        symbols.push_back(v);
    }
    if (symbols.size() < 2) return notACode("it is too short");
    const int check = symbols.back();
    symbols.pop_back();
    if (checkSymbol(symbols) != check) return notACode("a character is mistyped or missing");
    return symbols;
}

// The version, the kind, the seed and the four numbers of the settings.
Status readHead(BitReader& r, Drawing& d) {
    uint64_t v = 0, wide = 0, exact = 0;
    if (!r.get(2, v) || v != kVersion) return notACode("it is of an unknown kind");
    if (!r.get(1, v)) return notACode("it is cut short");
    d.kind = v ? DrawingKind::Pattern : DrawingKind::Shape;
    if (!r.get(1, wide) || !r.get(wide ? 64 : 32, d.seed) || !r.get(1, exact))
        return notACode("it is cut short");
    for (size_t i = 0; i < std::size(kFields); ++i) {
        const Field& f = kFields[i];
        double value = 0;
        if (exact) {
            if (!r.getDouble(value)) return notACode("a setting is damaged");
        } else {
            if (!r.get(f.bits, v)) return notACode("it is cut short");
            value = f.lo + static_cast<double>(v);
        }
        if (value < f.lo || value > kHigh[i]) return notACode("a setting is out of its range");
        d.settings.*f.value = value;
    }
    return {};
}

// The user's colour list: colours and shade codes.
Status readList(BitReader& r, std::vector<int32_t>& list) {
    uint64_t n = 0, v = 0;
    if (!r.getCount(n) || n > 10000) return notACode("the colour list is damaged");
    for (uint64_t i = 0; i < n; ++i) {
        uint64_t colour = 0;
        if (!r.get(1, colour)) return notACode("the colour list is cut short");
        if (colour) {
            if (!r.get(24, v) || v == 0) return notACode("the colour list is damaged");
            list.push_back(static_cast<int32_t>(v));
        } else {
            if (!r.get(3, v) || v > 6) return notACode("the colour list is damaged");
            list.push_back(-static_cast<int32_t>(v) - 1);
        }
    }
    return {};
}

// Sides, style and colour mode, with the colour list when the mode uses it.
Status readStyle(BitReader& r, DrawSettings& s) {
    uint64_t v = 0;
    if (!r.get(2, v) || v == 3) return notACode("the number of sides is damaged");
    s.sides = v == 1 ? 8 : v == 2 ? 2 : 4;
    if (!r.get(1, v)) return notACode("it is cut short");
    s.fancy = v != 0;
    if (!r.get(2, v) || v == 3) return notACode("the colour mode is damaged");
    s.colour.tcolor = static_cast<double>(v);
    if (!r.get(1, v)) return notACode("it is cut short");
    s.colour.tcolor2 = static_cast<double>(v);
    return v ? readList(r, s.colour.list) : Status{};
}

// The imported scale the colours were drawn from, or why the code cannot carry it.
Status readScale(BitReader& r, std::vector<int32_t>& scale) {
    uint64_t carried = 0, n = 0, v = 0;
    if (!r.get(1, carried) || !r.getCount(n)) return notACode("the colour scale is damaged");
    if (!carried)
        return fail("This drawing cannot be made again from its code: it was drawn from an "
                    "imported colour scale of " +
                    std::to_string(n) + " colours, more than a code carries (" +
                    std::to_string(kMaxCodedScale) + ").");
    if (n > kMaxCodedScale) return notACode("the colour scale is damaged");
    for (uint64_t i = 0; i < n; ++i) {
        if (!r.get(24, v)) return notACode("the colour scale is cut short");
        scale.push_back(static_cast<int32_t>(v));
    }
    return {};
}

} // namespace

double sidesAsDrawn(double sides) {
    return sides == 2 || sides == 8 ? sides : 4;
}

std::string drawingCode(const Drawing& d) {
    const DrawSettings& s = d.settings;
    BitWriter w;
    w.put(kVersion, 2);
    w.put(d.kind == DrawingKind::Pattern, 1);
    const bool wide = d.seed > 0xFFFFFFFFu;
    w.put(wide, 1);
    w.put(d.seed, wide ? 64 : 32);
    const bool exact = !wholeAndInRange(s);
    w.put(exact, 1);
    for (const Field& f : kFields) {
        const double v = s.*f.value;
        if (exact)
            w.putDouble(v);
        else
            w.put(static_cast<uint64_t>(v - f.lo), f.bits);
    }
    const double sides = sidesAsDrawn(s.sides);
    w.put(sides == 8 ? 1 : sides == 2 ? 2 : 0, 2);
    w.put(s.fancy, 1);
    const ColourSettings& c = s.colour;
    w.put(c.tcolor == kBasicColours ? 0 : c.tcolor == kImportedColours ? 2 : 1, 2);
    const bool list = c.tcolor2 == kListOn;
    w.put(list, 1);
    if (list) {
        w.putCount(c.list.size());
        for (int32_t v : c.list) {
            const bool code = v < 0;
            w.put(!code, 1);
            if (code)
                w.put(static_cast<uint64_t>(-v - 1), 3);
            else
                w.put(static_cast<uint64_t>(v) & 0xFFFFFFu, 24);
        }
    }
    if (c.tcolor == kImportedColours) {
        // The scale the colours were drawn from, when it is not too large to carry.
        const bool carried = c.scale.size() <= kMaxCodedScale;
        w.put(carried, 1);
        w.putCount(c.scale.size());
        if (carried)
            for (int32_t v : c.scale) w.put(static_cast<uint64_t>(v) & 0xFFFFFFu, 24);
    }
    // Last, and only for a new colouring: every code without it reads as it always did. The
    // mark before it keeps a character typed after a code from reading as a colouring.
    if (d.newColours > 0) {
        w.put(kColouringMark, 5);
        w.putCount(d.newColours);
    }
    std::vector<int> symbols = w.symbols();
    symbols.push_back(checkSymbol(symbols));
    std::string out;
    for (size_t i = 0; i < symbols.size(); ++i) {
        if (i > 0 && i % kGroup == 0) out += '-';
        out += kAlphabet[symbols[i]];
    }
    return out;
}

Result<Drawing> decodeDrawing(std::string_view code) {
    const Result<std::vector<int>> symbols = checkedSymbols(code);
    if (!symbols) return symbols.error();
    BitReader r(*symbols);
    Drawing d;
    if (const Status head = readHead(r, d); !head) return head.error();
    if (const Status style = readStyle(r, d.settings); !style) return style.error();
    // Codes made before scales were carried end here; they drew as with an empty scale.
    if (d.settings.colour.tcolor == kImportedColours && !r.nearEnd())
        if (const Status scale = readScale(r, d.settings.colour.scale); !scale)
            return scale.error();
    if (!r.nearEnd()) {
        uint64_t mark = 0, k = 0;
        if (!r.get(5, mark) || mark != kColouringMark) return notACode("it is too long");
        if (!r.getCount(k) || k == 0 || k > UINT32_MAX)
            return notACode("its number of new colours is damaged");
        d.newColours = static_cast<uint32_t>(k);
    }
    if (!r.atEnd()) return notACode("it is too long");
    return d;
}

} // namespace vx
