#pragma once
// The program as a screen saver: its options, and screen-saver mode started at once from the
// settings file (read, never written) and the options.
#include "app/options.hpp"
#include "app/shapes.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vx {

struct SaverOptions : DrawingOptions {
    // Where it draws: full screen on every screen, a window given by its id, or the window of
    // the screen-saver host (XSCREENSAVER_WINDOW, else the root window).
    enum class Target { Screens, Window, Root } target = Target::Screens;
    uint32_t windowId = 0;
    std::string settingsFile;
    // Field texts and switches that override the file, with those of DrawingOptions.
    std::optional<std::string> seconds;
    std::optional<bool> single, slow;
    // The favourites in turn instead of random drawings (random ones when there are none).
    bool favourites = false;
};

struct SaverArgs {
    // None: no option of the screen saver was given, and the program starts as a window.
    using Status = ArgsStatus;
    Status status = Status::None;
    std::string error;
    SaverOptions options;
};

// Reads the command line (without the program name); app/options.cpp holds the table. Qt's
// own options (such as -platform) are left to Qt.
SaverArgs parseSaverArgs(const std::vector<std::string>& args);

// A window id as hosts give it: decimal or 0x-hex, 1 to 2^32 - 1.
std::optional<uint32_t> parseWindowId(const std::string& text);

// Start values and the settings file as start-up has them (without the main page), the
// options over them, then screen-saver mode with its first drawing on the window's surface.
// Savers started together (one a screen) pass their place, so that each draws its own.
void startSaver(Shapes& sh, const SaverOptions& o, int place = 0);

} // namespace vx
