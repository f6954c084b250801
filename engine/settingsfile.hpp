#pragma once
// The text of the settings file "Vortalis.settings": 15 numbers on line 1, one colour-list
// slot on each of the next 64 lines, the end marker "9999"; lines end in CR LF.
#include "model/state.hpp"

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vx {

constexpr const char* kSettingsFile = "Vortalis.settings";
// Only the first 66 lines matter; a longer file is read no further than this.
constexpr size_t kSettingsReadLimit = 1 << 20;

// What a settings text holds: the 15 values of line 1 and the 64 colour lines, each absent
// when the text ends before it.
struct SettingsValues {
    std::array<std::optional<double>, 15> head;
    std::array<std::optional<double>, 64> colours;
    // The values (line 1's 15, then the 64 colours) whose text was not a clean number; they
    // count as the number their text begins with, or 0.
    std::bitset<79> unreadable;
};
SettingsValues parseSettings(std::string_view text);

// Places of the values on line 1.
enum SettingsHead {
    kHeadDetailf,
    kHeadSwidth,
    kHeadComplexy2,
    kHeadComplexy,
    kHeadTcolor,
    kHeadNsides,
    kHeadSeconds,
    kHeadSharpf,
    kHeadCenterf,
    kHeadMpattern,
    kHeadNwait4,
    kHeadNtimes,
    kHeadComplexy4,
    kHeadTcolor2,
    kHeadNumcolors
};

// The file's exact text for the state as it is and the given seconds waited.
std::string settingsText(const State& st, double seconds);

// A number as the settings and palette files write it: "-" or a space, the digits, a space.
std::string printNumber(double v);

// A number token of the settings and palette files: its leading number, or 0. Clean when the
// whole token is a finite number; "." is the decimal point whatever the locale says.
double numberToken(std::string_view tok, bool& clean);

// A colour-list value the program can use: a colour 0..16777215 or a shade code -1..-7.
inline bool validListValue(double v) {
    return v >= -7 && v <= 16777215 && v == static_cast<double>(static_cast<int32_t>(v)) &&
           (v >= 0 || v <= -1);
}

} // namespace vx
