// The colours the program draws in: the owner-drawn button's and the class
// icons' background.
#include "framework/win/ColorButton.h"
#include "framework/win/UniqueHandle.h"
#include "resources/ResourceIds.h"

#include <gtest/gtest.h>

using namespace Plinth;

namespace {

// The pixels of one colour in a bitmap, drawn by draw into a memory context.
template <typename Draw> int pixelsOf(HBITMAP bitmap, COLORREF colour, Draw draw) {
    BITMAP size{};
    GetObjectA(bitmap, sizeof size, &size);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    draw(dc);
    int count = 0;
    for (int y = 0; y < size.bmHeight; ++y) {
        for (int x = 0; x < size.bmWidth; ++x) {
            count += GetPixel(dc, x, y) == colour;
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return count;
}

// The button drawn as the dialog would ask it to.
int buttonPixelsOf(HWND button, COLORREF colour, UINT state = 0) {
    HDC screen = GetDC(nullptr);
    UniqueBitmap bitmap(CreateCompatibleBitmap(screen, 120, 30));
    ReleaseDC(nullptr, screen);
    return pixelsOf(bitmap.get(), colour, [&](HDC dc) {
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        DRAWITEMSTRUCT item{ODT_BUTTON, 1005,   0,  ODA_DRAWENTIRE,
                            state,      button, dc, {0, 0, 120, 30}};
        EXPECT_TRUE(forwardDrawItem(reinterpret_cast<LPARAM>(&item)));
    });
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
    EXPECT_EQ(buttonPixelsOf(raw, RGB(0, 0, 255)), 0) << "no hover colour before the mouse came";

    SendMessageA(raw, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(button.hovering());
    if (GetForegroundWindow() == owner.get()) {
        EXPECT_GT(buttonPixelsOf(raw, RGB(0, 0, 255)), 10)
            << "hover colour while the mouse is over it";
    }
    EXPECT_EQ(buttonPixelsOf(raw, RGB(0, 0, 255), ODS_DISABLED), 0)
        << "no hover colour when disabled";
    EXPECT_GT(buttonPixelsOf(raw, GetSysColor(COLOR_GRAYTEXT), ODS_DISABLED), 10);
    SendMessageA(raw, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(button.hovering());

    // Other controls are left to their owners.
    DRAWITEMSTRUCT other{ODT_BUTTON, 1, 0, ODA_DRAWENTIRE, 0, owner.get()};
    EXPECT_FALSE(forwardDrawItem(reinterpret_cast<LPARAM>(&other)));
}

// The list loads the class images with RGB 25,0,0 as the mask colour: a
// pixel of that colour would turn transparent.
TEST(ResourceTest, TheClassIconsLieOnWhiteWithoutTheMaskColour) {
    UniqueBitmap icons(static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr),
                                                       MAKEINTRESOURCEA(IDB_CLASS_ICONS),
                                                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    auto nothing = [](HDC) {};
    EXPECT_EQ(pixelsOf(icons.get(), RGB(25, 0, 0), nothing), 0);
    EXPECT_GT(pixelsOf(icons.get(), RGB(255, 255, 255), nothing), 128 * 16 / 2);
}
