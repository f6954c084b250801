#include "model/randomsettings.hpp"

#include "model/fields.hpp"

#include <algorithm>

namespace vx {

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// The index of a setting's name, or kLockables.
size_t lockableIndex(std::string_view name) {
    const auto* it = std::find(kLockableNames.begin(), kLockableNames.end(), name);
    return static_cast<size_t>(it - kLockableNames.begin());
}

// A whole number of the field's range, each as likely.
double wholeIn(const FieldSpec& f, Random& r) {
    return f.lo + std::floor(r.next() * (f.hi - f.lo + 1));
}

} // namespace

Result<SettingLocks> parseLockList(std::string_view list) {
    SettingLocks locks;
    size_t start = 0;
    for (int parts = 0; parts <= static_cast<int>(list.size()); ++parts) {
        const size_t comma = std::min(list.find(',', start), list.size());
        const std::string_view name = trimmed(list.substr(start, comma - start));
        const size_t i = lockableIndex(name);
        if (i == kLockables)
            return fail("\"" + std::string(name) +
                        "\" is no setting: name size, detail, complexity, smoothness, style, "
                        "colours or kind");
        locks.locked[i] = true;
        if (comma == list.size()) break;
        start = comma + 1;
    }
    return locks;
}

SettingLocks readLocks(std::string_view text, int* unknown) {
    SettingLocks locks;
    int bad = 0;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.empty() || line.front() == '#') continue;
        const size_t i = lockableIndex(line);
        if (i == kLockables)
            ++bad;
        else
            locks.locked[i] = true;
    }
    if (unknown) *unknown = bad;
    return locks;
}

std::string locksText(const SettingLocks& locks) {
    std::string s = "# Settings that \"Random settings\" leaves as they are, one a line.\n";
    for (size_t i = 0; i < kLockables; ++i)
        if (locks.locked[i]) s += std::string(kLockableNames[i]) + "\n";
    return s;
}

void randomiseSettings(Drawing& d, const SettingLocks& locks, Random& r) {
    DrawSettings& s = d.settings;
    struct Whole {
        Lockable which;
        const FieldSpec& field;
    };
    for (const Whole& w : {Whole{Lockable::Size, kSizeField}, Whole{Lockable::Detail, kDetailField},
                           Whole{Lockable::Complexity, kComplexityField},
                           Whole{Lockable::Smoothness, kSmoothnessField}}) {
        const double v = wholeIn(w.field, r);
        if (!locks[w.which]) s.*w.field.setting = v;
    }
    const bool fancy = r.next() < 0.5;
    if (!locks[Lockable::Style]) s.fancy = fancy;
    // Basic colours, true colours, or true colours recoloured from the user's list.
    const int mode = static_cast<int>(std::floor(r.next() * 3));
    if (!locks[Lockable::Colours]) {
        s.colour.tcolor = mode == 0 ? kBasicColours : kTrueColours;
        s.colour.tcolor2 = mode == 2 ? kListOn : kListOff;
    }
    const bool pattern = r.next() < 0.5;
    if (!locks[Lockable::Kind]) d.kind = pattern ? DrawingKind::Pattern : DrawingKind::Shape;
}

} // namespace vx
