#include "shell/win/StoredPlacement.h"

#include "shell/Settings.h"

namespace kelvane {

std::string storedPlacementOf(HWND window) {
    WINDOWPLACEMENT placement{sizeof placement};
    if (!GetWindowPlacement(window, &placement)) {
        return {};
    }
    const RECT& r = placement.rcNormalPosition;
    return placementText({static_cast<int>(r.left), static_cast<int>(r.top),
                          static_cast<int>(r.right), static_cast<int>(r.bottom),
                          static_cast<int>(placement.showCmd)});
}

bool applyStoredPlacement(HWND window, const std::string& text) {
    auto stored = parsePlacementText(text);
    if (!stored) {
        return false;
    }
    WINDOWPLACEMENT placement{sizeof placement};
    GetWindowPlacement(window, &placement);
    placement.flags = 0;
    placement.showCmd = static_cast<UINT>(stored->showCommand);
    placement.rcNormalPosition = {stored->left, stored->top, stored->right, stored->bottom};
    return SetWindowPlacement(window, &placement) != FALSE;
}

} // namespace kelvane
