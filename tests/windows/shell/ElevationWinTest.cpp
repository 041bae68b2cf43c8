// The admin controls on the real main window template and context menu, and
// the elevated start of the real program. Wine's token is always elevated, so
// the non-elevated cases are driven by the given flag.
#include "framework/win/ModuleResources.h"
#include "resources/ResourceIds.h"
#include "shell/win/AdminRights.h"
#include "shell/win/TrayWindow.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TrayInstances.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

using namespace kelvane;
using namespace kelvane::test;

namespace {

INT_PTR CALLBACK inertProcedure(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

bool shown(HWND dialog, int id) {
    return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

bool grayed(HMENU menu, int id) {
    return (GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND) & MF_GRAYED) != 0;
}

class ElevationWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        auto layout = static_cast<const DLGTEMPLATE*>(
            Plinth::loadLocalisedResource(RT_DIALOG, MAKEINTRESOURCEA(IDD_MAIN)));
        ASSERT_NE(layout, nullptr);
        dialog.reset(CreateDialogIndirectParamA(Plinth::resourceModule(), layout, nullptr,
                                                inertProcedure, 0));
        ASSERT_TRUE(dialog);
        menu.reset(LoadMenuIndirectA(
            Plinth::loadLocalisedResource(RT_MENU, MAKEINTRESOURCEA(IDM_SERVICE_CONTEXT))));
        ASSERT_TRUE(menu);
    }
    void expectActionButtons(bool visible) {
        for (int id : {IDC_START, IDC_STOP, IDC_PAUSE, IDC_CONTINUE, IDC_RESTART, IDC_REMOVE}) {
            EXPECT_EQ(shown(dialog.get(), id), visible) << id;
        }
        EXPECT_EQ(shown(dialog.get(), IDC_ADMIN), !visible);
        EXPECT_TRUE(shown(dialog.get(), IDC_REFRESH)) << "other buttons are left alone";
    }
    void expectServiceActions(bool enabled) {
        HMENU popup = GetSubMenu(menu.get(), 0);
        for (int id : {IDC_START, IDC_STOP, IDC_PAUSE, IDC_CONTINUE, IDC_RESTART,
                       ID_START_TYPE_DISABLED, ID_START_TYPE_MANUAL, ID_START_TYPE_AUTOMATIC,
                       ID_START_TYPE_BOOT, ID_START_TYPE_SYSTEM, ID_KILL_PROCESS}) {
            EXPECT_EQ(grayed(popup, id), !enabled) << id;
        }
        for (int id : {ID_EDIT_SERVICE, ID_COPY_TO_CLIPBOARD, ID_FILE_PROPERTIES, ID_OPEN_FOLDER,
                       IDC_REMOVE}) {
            EXPECT_FALSE(grayed(popup, id)) << id;
        }
    }
    void apply(bool adminRights, bool isLocal) {
        updateAdminControls(dialog.get(), adminRights, isLocal);
        updateContextMenuActions(GetSubMenu(menu.get(), 0), adminRights, isLocal);
    }
    Plinth::UniqueWindow dialog;
    Plinth::UniqueMenu menu;
};

} // namespace

TEST_F(ElevationWinTest, WineRunsEveryProcessWithAdministrativeRights) {
    EXPECT_TRUE(hasAdministrativeRights());
}

TEST_F(ElevationWinTest, TheControlsFollowTheRightsAndTheComputerShown) {
    apply(true, true);
    expectActionButtons(true);
    expectServiceActions(true);

    apply(false, true);
    expectActionButtons(false);
    expectServiceActions(false);

    apply(false, false);
    expectActionButtons(true);
    expectServiceActions(true);

    apply(false, true);
    expectActionButtons(false);
    expectServiceActions(false);
}

TEST_F(ElevationWinTest, AnElevatedStartRunsTheGivenProgramWithItsParameters) {
    ASSERT_TRUE(endAllTrayInstances());
    // The relaunch passes the language switch alone; "-tray" here makes the
    // started program visible to this test without a main window.
    ASSERT_TRUE(startElevated(programPath("kelvane.exe"), " -swe -tray", nullptr));
    EXPECT_TRUE(waitUntil([] { return countTrayInstances() == 1; }));
    EXPECT_TRUE(endAllTrayInstances());

    EXPECT_FALSE(startElevated(programPath("no-such-program.exe"), " -eng", nullptr));
}
