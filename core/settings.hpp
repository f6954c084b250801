#pragma once
// The settings file "Vortalis.settings" in the working folder.
#include "core/shapes.hpp"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vx {

constexpr const char* kSettingsFile = "Vortalis.settings";
// Only the first 66 lines matter; a longer file is read no further than this.
constexpr size_t kSettingsReadLimit = 1 << 20;

// First reading at start-up (before the main page); false when the file could not be read.
bool readSettingsFirst(Shapes& sh);
// Second reading after "Begin": also brings menus, option buttons and fields in line.
bool readSettingsSecond(Shapes& sh);
// "Save settings"; false (and a status line) when the file could not be written.
bool saveSettings(Shapes& sh);
// "Restore default settings".
void restoreDefaults(Shapes& sh);

// What a settings text holds: the 15 values of line 1 and the 64 colour lines, each absent
// when the text ends before it.
struct SettingsValues {
    std::array<std::optional<double>, 15> head;
    std::array<std::optional<double>, 64> colours;
    int unreadable = 0; // tokens or lines that were not numbers (they count as 0)
};
SettingsValues parseSettings(std::string_view text);
// The readings on text already in memory.
void applySettingsFirst(Shapes& sh, const SettingsValues& v);
void applySettingsSecond(Shapes& sh, const SettingsValues& v);
// The file's exact text for the state as it is and the given seconds waited.
std::string settingsText(const State& st, double seconds);
// A number as the file writes it: "-" or a space, the digits, one space.
std::string printNumber(double v);

} // namespace vx
