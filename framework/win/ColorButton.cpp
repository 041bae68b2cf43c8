#include "framework/win/ColorButton.h"

#include <commctrl.h>

#include <string>

namespace Plinth {

namespace {

constexpr UINT_PTR subclassId = 0x436F6C42; // "ColB"

// A control's own WM_DRAWITEM, told apart from one a child sends up.
constexpr UINT drawSelfMessage = WM_APP + 0x3F00;

bool programOwnsForeground() {
    HWND foreground = GetForegroundWindow();
    DWORD process = 0;
    if (foreground) {
        GetWindowThreadProcessId(foreground, &process);
    }
    return process == GetCurrentProcessId();
}

std::string buttonText(HWND button) {
    int length = GetWindowTextLengthA(button);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(button, &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

bool isDefaultButton(HWND button) {
    HWND dialog = GetParent(button);
    LRESULT result = dialog ? SendMessageA(dialog, DM_GETDEFID, 0, 0) : 0;
    return HIWORD(result) == DC_HASDEFID && LOWORD(result) == GetDlgCtrlID(button);
}

} // namespace

ColorButton::~ColorButton() {
    if (button_ && IsWindow(button_)) {
        RemoveWindowSubclass(button_, subclassProc, subclassId);
    }
}

void ColorButton::attach(HWND button, COLORREF textColour, COLORREF hoverColour) {
    button_ = button;
    textColour_ = textColour;
    hoverColour_ = hoverColour;
    LONG_PTR style = GetWindowLongPtrA(button, GWL_STYLE);
    SetWindowLongPtrA(button, GWL_STYLE,
                      (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
    SetWindowSubclass(button, subclassProc, subclassId, reinterpret_cast<DWORD_PTR>(this));
    InvalidateRect(button, nullptr, TRUE);
}

void ColorButton::setHovering(bool hovering) {
    if (hovering_ != hovering) {
        hovering_ = hovering;
        InvalidateRect(button_, nullptr, FALSE);
    }
}

void ColorButton::draw(const DRAWITEMSTRUCT& item) const {
    HDC dc = item.hDC;
    RECT box = item.rcItem;
    bool pressed = item.itemState & ODS_SELECTED;
    bool disabled = item.itemState & ODS_DISABLED;

    FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
    if (isDefaultButton(button_) || (item.itemState & ODS_FOCUS)) {
        // The default button's dark frame, which the system draws only for
        // buttons it draws itself.
        FrameRect(dc, &box, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&box, -1, -1);
    }
    DrawEdge(dc, &box, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);

    std::string text = buttonText(button_);
    UINT format = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
    if (item.itemState & ODS_NOACCEL) {
        format |= DT_HIDEPREFIX;
    }
    RECT textBox = box;
    if (pressed) {
        OffsetRect(&textBox, 1, 1);
    }
    int oldMode = SetBkMode(dc, TRANSPARENT);
    if (disabled) {
        // Embossed: the highlight one pixel down and right, grey on top.
        RECT shadow = textBox;
        OffsetRect(&shadow, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, text.c_str(), -1, &shadow, format);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    } else {
        SetTextColor(dc, hovering_ && programOwnsForeground() ? hoverColour_ : textColour_);
    }
    DrawTextA(dc, text.c_str(), -1, &textBox, format);
    SetBkMode(dc, oldMode);

    if (item.itemState & ODS_FOCUS) {
        RECT focus = box;
        InflateRect(&focus, -2, -2);
        DrawFocusRect(dc, &focus);
    }
}

LRESULT CALLBACK ColorButton::subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR data) {
    auto self = reinterpret_cast<ColorButton*>(data);
    switch (message) {
    case WM_MOUSEMOVE:
        if (!self->hovering_) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
            TrackMouseEvent(&track);
            self->setHovering(true);
        }
        break;
    case WM_MOUSELEAVE:
        self->setHovering(false);
        break;
    case drawSelfMessage:
        self->draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, subclassProc, subclassId);
        self->button_ = nullptr;
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

bool forwardDrawItem(LPARAM drawItem) {
    auto item = reinterpret_cast<const DRAWITEMSTRUCT*>(drawItem);
    if (!item || item->CtlType != ODT_BUTTON || !item->hwndItem) {
        return false;
    }
    return SendMessageA(item->hwndItem, drawSelfMessage, 0, drawItem) == TRUE;
}

} // namespace Plinth
