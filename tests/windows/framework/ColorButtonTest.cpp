// The owner-drawn button: hover tracking and the colours it draws in.
#include "framework/win/ColorButton.h"
#include "framework/win/UniqueHandle.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace Plinth;

namespace {

class ColorButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner = UniqueWindow(CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 100, 100,
                                             200, 100, nullptr, nullptr, nullptr, nullptr));
        ASSERT_TRUE(owner);
        HWND raw =
            CreateWindowExA(0, "BUTTON", "&Start", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10,
                            120, 30, owner.get(), reinterpret_cast<HMENU>(1005), nullptr, nullptr);
        ASSERT_NE(raw, nullptr);
        button.attach(raw, RGB(0, 0, 128), RGB(0, 0, 255));
        SetForegroundWindow(owner.get());
    }

    // Draws the button into a bitmap as the dialog would ask it to, and
    // counts the pixels of one colour.
    int pixelsOf(COLORREF colour, UINT state = 0) {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        UniqueBitmap bitmap(CreateCompatibleBitmap(screen, 120, 30));
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, bitmap.get());
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = 1005;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hwndItem = button.handle();
        item.hDC = dc;
        item.rcItem = {0, 0, 120, 30};
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

    UniqueWindow owner;
    ColorButton button;
};

} // namespace

TEST_F(ColorButtonTest, BecomesOwnerDrawnAndTracksTheMouse) {
    EXPECT_EQ(GetWindowLongA(button.handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_FALSE(button.hovering());
    SendMessageA(button.handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(button.hovering());
    SendMessageA(button.handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(button.hovering());
}

TEST_F(ColorButtonTest, DrawsTextInTheNormalHoverAndDisabledColours) {
    EXPECT_GT(pixelsOf(RGB(0, 0, 128)), 10);
    EXPECT_EQ(pixelsOf(RGB(0, 0, 255)), 0);

    SendMessageA(button.handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    if (GetForegroundWindow() == owner.get()) {
        EXPECT_GT(pixelsOf(RGB(0, 0, 255)), 10) << "hover colour while the mouse is over it";
        EXPECT_EQ(pixelsOf(RGB(0, 0, 128)), 0);
    }

    EXPECT_EQ(pixelsOf(RGB(0, 0, 255), ODS_DISABLED), 0)
        << "a disabled button shows no hover colour";
    EXPECT_GT(pixelsOf(GetSysColor(COLOR_GRAYTEXT), ODS_DISABLED), 10);
}

TEST(ForwardDrawItemTest, LeavesOtherControlsToTheirOwners) {
    UniqueWindow plain(CreateWindowExA(0, "BUTTON", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       nullptr, nullptr));
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.hwndItem = plain.get();
    EXPECT_FALSE(forwardDrawItem(reinterpret_cast<LPARAM>(&item)));
    item.CtlType = ODT_LISTBOX;
    EXPECT_FALSE(forwardDrawItem(reinterpret_cast<LPARAM>(&item)));
}
