#pragma once
// "Random settings" and "Lock settings..." of the "Explore" menu: every setting that is not
// locked drawn at random, and the locks, kept between runs in a file of their own.
#include "app/shapes.hpp"
#include "model/randomsettings.hpp"

#include <string>

namespace vx {

// The locks file in the user's configuration folder ("" when there is none). It is written
// only when the user changes the locks.
constexpr const char* kLocksFile = "random-locks";
std::string locksFilePath();

// The locks as the file has them (none without one), read once a session.
const SettingLocks& currentLocks(Shapes& sh);

// "Random settings": the unlocked settings drawn from a random source of the window's own
// (the drawings' seeds are untouched), written into the panel and the menus as the user
// would set them, then drawn as "Create random shape(s)" draws.
void randomSettingsClick(Shapes& sh);
// "Lock settings...": a check box a setting.
void lockSettingsClick(Shapes& sh);

} // namespace vx
