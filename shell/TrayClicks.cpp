#include "shell/TrayClicks.h"

#include <cstdlib>

namespace kelvane {

bool ClickTracker::release(TrayButton button, int x, int y, int width, int height) {
    if (button == TrayButton::None || button != button_) {
        return false;
    }
    button_ = TrayButton::None;
    return std::abs(x - x_) <= width && std::abs(y - y_) <= height;
}

bool minimiseEndsMainWindow(unsigned trayInstances) {
    return trayInstances == 1;
}

} // namespace kelvane
