// The colour legend draws its sample rows with the list's colour classes.
#include "shell/win/ColorLegendDialog.h"

#include "framework/win/ModuleResources.h"
#include "resources/ResourceIds.h"

#include <gtest/gtest.h>
#include <commctrl.h>

using namespace kelvane;

namespace {

void pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&message);
    }
}

} // namespace

TEST(ColorLegendTest, SampleRowsShowTheirColourClasses) {
    Plinth::setResourceModule(GetModuleHandleA(nullptr));
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    ColorLegendDialog legend;
    ASSERT_NE(legend.create(nullptr), nullptr);
    ShowWindow(legend.handle(), SW_SHOW);
    SetWindowPos(legend.handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    UpdateWindow(legend.handle());
    pump();
    Sleep(300);
    pump();

    HWND list = legend.item(IDC_LEGEND_LIST);
    ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 6);
    HDC dc = GetDC(list);
    auto backgroundOf = [&](int row, int column) {
        RECT cell{};
        cell.top = column;
        cell.left = LVIR_BOUNDS;
        SendMessageA(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
        int x = column == 0 ? cell.left + 2 : cell.right - 2;
        return GetPixel(dc, x, cell.bottom - 2);
    };
    EXPECT_EQ(backgroundOf(1, 0), RGB(255, 255, 0)) << "new";
    EXPECT_EQ(backgroundOf(2, 0), RGB(255, 216, 216)) << "kernel driver";
    EXPECT_EQ(backgroundOf(3, 0), RGB(216, 255, 216)) << "file system driver";
    EXPECT_EQ(backgroundOf(5, 2), RGB(228, 228, 255)) << "Microsoft";
    EXPECT_EQ(backgroundOf(0, 1), RGB(255, 255, 228)) << "the sort column";
    EXPECT_EQ(backgroundOf(0, 2), GetSysColor(COLOR_WINDOW)) << "the cell after it";
    ReleaseDC(list, dc);

    RECT outer{};
    GetWindowRect(legend.handle(), &outer);
    MINMAXINFO limits{};
    SendMessageA(legend.handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(outer.right - outer.left - limits.ptMinTrackSize.x, 100);
    EXPECT_EQ(outer.bottom - outer.top - limits.ptMinTrackSize.y, 50);
}
