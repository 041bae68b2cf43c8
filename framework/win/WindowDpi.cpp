#include "framework/win/WindowDpi.h"

#include <map>
#include <vector>

namespace Plinth {

namespace {

constexpr int baseDpi = 96;
constexpr DWORD dialogScalingDisabledAll = 1; // DDC_DISABLE_ALL

template <typename Function> Function user32Function(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

int systemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : baseDpi;
    if (screen) {
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : baseDpi;
}

// The rectangle of a child in its parent's client coordinates; a combo box
// counts with its drop-down list, which is the size it is given.
RECT childRect(HWND parent, HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    char kind[16] = {};
    GetClassNameA(child, kind, sizeof kind);
    RECT dropped{};
    if (lstrcmpiA(kind, "ComboBox") == 0 &&
        SendMessageA(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped))) {
        rect.bottom = rect.top + (dropped.bottom - dropped.top);
    }
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace

int windowDpi(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    const int dpi = getDpiForWindow && window ? static_cast<int>(getDpiForWindow(window)) : 0;
    return dpi > 0 ? dpi : systemDpi();
}

int pixelsForDpi(int pixels, int dpi) {
    return MulDiv(pixels, dpi, baseDpi);
}

void keepDialogDpiScalingToItself(HWND dialog) {
    using SetBehaviourFunction = BOOL(WINAPI*)(HWND, DWORD, DWORD);
    static const auto setBehaviour =
        user32Function<SetBehaviourFunction>("SetDialogDpiChangeBehavior");
    if (setBehaviour) {
        setBehaviour(dialog, dialogScalingDisabledAll, dialogScalingDisabledAll);
    }
}

UniqueFont scaledFont(HFONT font, int oldDpi, int newDpi) {
    LOGFONTA face{};
    if (!font || !GetObjectA(font, sizeof face, &face)) {
        return UniqueFont();
    }
    face.lfHeight = MulDiv(face.lfHeight, newDpi, oldDpi);
    face.lfWidth = MulDiv(face.lfWidth, newDpi, oldDpi);
    return UniqueFont(CreateFontIndirectA(&face));
}

std::vector<UniqueFont> scaleChildren(HWND window, int oldDpi, int newDpi) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    std::vector<RECT> places;
    for (HWND child : children) {
        places.push_back(childRect(window, child));
    }
    // One scaled copy of each font the children use (a link font stays a
    // link font).
    std::map<HFONT, HFONT> copies;
    std::vector<UniqueFont> fonts;
    for (HWND child : children) {
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0));
        if (!font) {
            continue;
        }
        auto copy = copies.find(font);
        if (copy == copies.end()) {
            fonts.push_back(scaledFont(font, oldDpi, newDpi));
            copy = copies.emplace(font, fonts.back().get()).first;
        }
        if (copy->second) {
            SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(copy->second), FALSE);
        }
    }
    HDWP batch = BeginDeferWindowPos(static_cast<int>(children.size()));
    for (std::size_t i = 0; i < children.size() && batch; ++i) {
        const RECT& r = places[i];
        const int left = MulDiv(r.left, newDpi, oldDpi), top = MulDiv(r.top, newDpi, oldDpi);
        batch = DeferWindowPos(
            batch, children[i], nullptr, left, top, MulDiv(r.right, newDpi, oldDpi) - left,
            MulDiv(r.bottom, newDpi, oldDpi) - top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (batch) {
        EndDeferWindowPos(batch);
    }
    InvalidateRect(window, nullptr, TRUE);
    return fonts;
}

} // namespace Plinth
