#pragma once
// The settings file "Vortalis.settings" in the working folder.
#include "core/shapes.hpp"

namespace vx {

// First reading at start-up (before the main page); false when the file could not be read.
bool readSettingsFirst(Shapes& sh);
// Second reading after "Begin": also brings menus, option buttons and fields in line.
bool readSettingsSecond(Shapes& sh);
// "Save settings"; false (and a status line) when the file could not be written.
bool saveSettings(Shapes& sh);
// "Restore default settings".
void restoreDefaults(Shapes& sh);

} // namespace vx
