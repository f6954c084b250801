#pragma once
#include "ui/form.hpp"

namespace vx::ui {

// Colours of the labels and buttons, red in the low byte.
constexpr int32_t kGreen = 0x00FF00;
constexpr int32_t kCyan = 0xFFFF00;
constexpr int32_t kLightCyan = 0xFFFF80;
constexpr int32_t kMagenta = 0xFF00FF;
constexpr int32_t kRed = 0x0000FF;

// Creates every control, menu item and timer of the main window in its initial state.
void buildMainWindow(Form& f);

} // namespace vx::ui
