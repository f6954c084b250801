#pragma once
// "Random settings": the settings a user can leave to chance, the locks that keep some of them
// as they are, and settings drawn at random within their ranges.
#include "base/result.hpp"
#include "model/drawing.hpp"
#include "surface/numeric.hpp"

#include <array>
#include <string>
#include <string_view>

namespace vx {

enum class Lockable { Size, Detail, Complexity, Smoothness, Style, Colours, Kind };
constexpr size_t kLockables = 7;
// Their names in the locks file and on the renderer's command line.
inline constexpr std::array<const char*, kLockables> kLockableNames = {
    "size", "detail", "complexity", "smoothness", "style", "colours", "kind"};

struct SettingLocks {
    std::array<bool, kLockables> locked{};
    bool& operator[](Lockable l) { return locked[static_cast<size_t>(l)]; }
    bool operator[](Lockable l) const { return locked[static_cast<size_t>(l)]; }
    bool operator==(const SettingLocks&) const = default;
};

// A list such as "size,colours": the settings it names locked. A name that is none of them is
// an error that says which.
Result<SettingLocks> parseLockList(std::string_view list);

// The locks file: the names of the locked settings, one a line. Lines that name no setting are
// left out and counted in *unknown.
SettingLocks readLocks(std::string_view text, int* unknown = nullptr);
std::string locksText(const SettingLocks& locks);

// Gives every unlocked setting of d a random value in its range: size, detail, complexity and
// smoothness whole numbers, the style, the colour mode (basic, true colour or the user's list;
// the list itself stays) and the kind. Every value is drawn, locked or not, so that a lock
// changes no other setting.
void randomiseSettings(Drawing& d, const SettingLocks& locks, Random& r);

} // namespace vx
