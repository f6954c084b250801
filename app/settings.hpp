#pragma once
// The settings file "Vortalis.settings" in the working folder.
#include "app/shapes.hpp"
#include "base/result.hpp"
#include "engine/settingsfile.hpp"

namespace vx {

// First reading at start-up (before the main page); false when the file could not be read.
bool readSettingsFirst(Shapes& sh, const std::string& file = kSettingsFile);
// Second reading after "Begin": also brings menus, option buttons and fields in line.
bool readSettingsSecond(Shapes& sh, const std::string& file = kSettingsFile);
// "Save settings"; a file that could not be written is said in the status line too.
Status saveSettings(Shapes& sh);
// "Restore default settings".
void restoreDefaults(Shapes& sh);

// The readings on text already in memory; damage is reported as damage of `file`.
void applySettingsFirst(Shapes& sh, const SettingsValues& v,
                        const std::string& file = kSettingsFile);
void applySettingsSecond(Shapes& sh, const SettingsValues& v,
                         const std::string& file = kSettingsFile);

} // namespace vx
