#include "core/settings.hpp"

namespace vx {

bool readSettingsFirst(Shapes&) {
    return false;
}
bool readSettingsSecond(Shapes&) {
    return false;
}
bool saveSettings(Shapes&) {
    return false;
}
void restoreDefaults(Shapes&) {}

} // namespace vx
