// The admin controls on the real main window template, and
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
    }
    void expectActionButtons(bool visible) {
        for (int id : {IDC_START, IDC_STOP, IDC_PAUSE, IDC_CONTINUE, IDC_RESTART, IDC_REMOVE}) {
            EXPECT_EQ(shown(dialog.get(), id), visible) << id;
        }
        EXPECT_EQ(shown(dialog.get(), IDC_ADMIN), !visible);
        EXPECT_TRUE(shown(dialog.get(), IDC_REFRESH)) << "other buttons are left alone";
    }
    Plinth::UniqueWindow dialog;
};

} // namespace

TEST_F(ElevationWinTest, TheControlsFollowTheRightsAndTheComputerShown) {
    EXPECT_TRUE(hasAdministrativeRights()) << "Wine runs every process elevated";
    // Which case swaps them is the native tests'; here the template's controls.
    updateAdminControls(dialog.get(), false, true);
    expectActionButtons(false);
    updateAdminControls(dialog.get(), true, true);
    expectActionButtons(true);
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
