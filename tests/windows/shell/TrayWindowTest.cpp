// The tray window in this process, driven with the messages the shell sends
// it; other instances' broadcast is InstallationTest's, and which press and
// release make a click the native tests'.
#include "resources/ResourceIds.h"
#include "shell/win/TrayWindow.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

using namespace kelvane;

namespace {

// Records the commands and icons; showing the main window is the main
// window's own business.
class RecordingTray : public TrayWindow {
public:
    RecordingTray() : TrayWindow(AppConfig{}, false) {}
    int iconsAdded = 0;
    std::vector<int> commands;

protected:
    void addIcon() override {
        ++iconsAdded;
        TrayWindow::addIcon();
    }
    void command(int id) override { commands.push_back(id); }
};

// Inside a tray menu, which runs its own loop: its default entry, then close it.
std::string defaultEntry;

void CALLBACK inspectOpenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND popup = FindWindowA("#32768", nullptr);
    if (popup && IsWindowVisible(popup)) {
        HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
        char text[128] = {};
        GetMenuStringA(menu, GetMenuDefaultItem(menu, FALSE, 0), text, sizeof text, MF_BYCOMMAND);
        defaultEntry = text;
        KillTimer(nullptr, timer);
        EndMenu();
    }
}

} // namespace

TEST(TrayWindowTest, ClicksRunTheirCommandsAndTheIconOutlivesTheTaskbar) {
    RecordingTray tray;
    tray.create();
    ASSERT_NE(tray.handle(), nullptr);
    for (UINT message : {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK}) {
        SendMessageA(tray.handle(), trayCallbackMessage, 0, message);
    }
    EXPECT_EQ(tray.commands, (std::vector<int>{ID_TRAY_SHOW, ID_TRAY_SHOW, ID_TRAY_SHOW}));

    SetTimer(nullptr, 0, 100, inspectOpenMenu);
    SendMessageA(tray.handle(), trayCallbackMessage, 0, WM_RBUTTONDOWN);
    // Returns when the timer has closed the menu.
    SendMessageA(tray.handle(), trayCallbackMessage, 0, WM_RBUTTONUP);
    EXPECT_EQ(defaultEntry, "&Show Kelvane") << "a right click opens the menu";

    SendMessageA(tray.handle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_EQ(tray.iconsAdded, 2) << "the icon comes back when the taskbar is rebuilt";
}
