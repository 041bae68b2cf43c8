// The owner-drawn button: hover tracking and the colours it draws in.
#include "framework/win/ColorButton.h"
#include "framework/win/UniqueHandle.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace Plinth;

namespace {

// Draws the button into a bitmap as the dialog would ask it to, and counts
// the pixels of one colour.
int pixelsOf(HWND button, COLORREF colour, UINT state = 0) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    UniqueBitmap bitmap(CreateCompatibleBitmap(screen, 120, 30));
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap.get());
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    DRAWITEMSTRUCT item{ODT_BUTTON, 1005, 0, ODA_DRAWENTIRE, state, button, dc, {0, 0, 120, 30}};
    EXPECT_TRUE(forwardDrawItem(reinterpret_cast<LPARAM>(&item)));
    int count = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 120; ++x) {
            count += GetPixel(dc, x, y) == colour;
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return count;
}

} // namespace

TEST(ColorButtonTest, DrawsItsTextInTheHoverAndDisabledColours) {
    UniqueWindow owner(CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 100, 100, 200,
                                       100, nullptr, nullptr, nullptr, nullptr));
    HWND raw =
        CreateWindowExA(0, "BUTTON", "&Start", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 120,
                        30, owner.get(), reinterpret_cast<HMENU>(1005), nullptr, nullptr);
    ASSERT_NE(raw, nullptr);
    ColorButton button;
    button.attach(raw, RGB(0, 0, 128), RGB(0, 0, 255));
    SetForegroundWindow(owner.get());
    EXPECT_EQ(pixelsOf(raw, RGB(0, 0, 255)), 0) << "no hover colour before the mouse came";

    SendMessageA(raw, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(button.hovering());
    if (GetForegroundWindow() == owner.get()) {
        EXPECT_GT(pixelsOf(raw, RGB(0, 0, 255)), 10) << "hover colour while the mouse is over it";
        EXPECT_EQ(pixelsOf(raw, RGB(0, 0, 128)), 0);
    }
    EXPECT_EQ(pixelsOf(raw, RGB(0, 0, 255), ODS_DISABLED), 0) << "no hover colour when disabled";
    EXPECT_GT(pixelsOf(raw, GetSysColor(COLOR_GRAYTEXT), ODS_DISABLED), 10);
    SendMessageA(raw, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(button.hovering());

    // Other controls are left to their owners.
    UniqueWindow plain(CreateWindowExA(0, "BUTTON", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       nullptr, nullptr));
    DRAWITEMSTRUCT other{ODT_BUTTON, 1, 0, ODA_DRAWENTIRE, 0, plain.get()};
    EXPECT_FALSE(forwardDrawItem(reinterpret_cast<LPARAM>(&other)));
}
