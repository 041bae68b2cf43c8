// The tray window in this process, driven with the messages the shell sends
// it; other instances' broadcast is TrayInstancesTest's, and which press and
// release make a click the native tests'.
#include "resources/ResourceIds.h"
#include "shell/win/TrayWindow.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

using namespace kelvane;

namespace {

class RecordingTray : public TrayWindow {
public:
    RecordingTray() : TrayWindow(AppConfig{}, false) {}

    std::vector<std::pair<UINT, int>> clicks, doubleClicks;
    std::vector<int> commands;
    int iconsAdded = 0;
    bool realClicks = false;

protected:
    void addIcon() override {
        ++iconsAdded;
        TrayWindow::addIcon();
    }
    void click(UINT id, int button) override {
        clicks.push_back({id, button});
        if (realClicks) {
            TrayWindow::click(id, button);
        }
    }
    void doubleClick(UINT id, int button) override {
        doubleClicks.push_back({id, button});
        TrayWindow::doubleClick(id, button);
    }
    // Showing the main window is the main window's own business.
    void command(int id) override { commands.push_back(id); }
};

void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&message);
    }
}

std::string menuText(HMENU menu, UINT id) {
    char text[128] = {};
    GetMenuStringA(menu, id, text, sizeof text, MF_BYCOMMAND);
    return text;
}

class TrayWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        tray.create();
        ASSERT_NE(tray.handle(), nullptr);
    }
    void mouse(UINT mouseMessage, UINT iconId = 0) {
        SendMessageA(tray.handle(), trayCallbackMessage, iconId, mouseMessage);
    }
    RecordingTray tray;
};

// Inside a tray menu, which runs its own loop: what it shows, then close it.
struct MenuSeen {
    bool found = false;
    UINT defaultId = 0;
    std::string firstText;
};
MenuSeen menuSeen;

void CALLBACK inspectOpenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND popup = FindWindowA("#32768", nullptr);
    if (!popup || !IsWindowVisible(popup)) {
        return;
    }
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
    menuSeen.found = true;
    menuSeen.defaultId = GetMenuDefaultItem(menu, FALSE, 0);
    menuSeen.firstText = menuText(menu, menuSeen.defaultId);
    KillTimer(nullptr, timer);
    EndMenu();
}

} // namespace

TEST_F(TrayWindowTest, ADoubleClickWithAnyButtonRunsShowKelvaneAndTheIconOutlivesTheTaskbar) {
    mouse(WM_LBUTTONDBLCLK);
    mouse(WM_RBUTTONDBLCLK);
    mouse(WM_MBUTTONDBLCLK);
    EXPECT_EQ(tray.doubleClicks, (std::vector<std::pair<UINT, int>>{{0, 0}, {0, 1}, {0, 2}}));
    EXPECT_EQ(tray.commands, (std::vector<int>{ID_TRAY_SHOW, ID_TRAY_SHOW, ID_TRAY_SHOW}));
    EXPECT_TRUE(tray.clicks.empty()) << "a double click is no click";

    SendMessageA(tray.handle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_EQ(tray.iconsAdded, 2) << "the icon comes back when the taskbar is rebuilt";
}

TEST_F(TrayWindowTest, ARightClickOpensTheMenuWithShowKelvaneAsItsDefault) {
    tray.realClicks = true;
    menuSeen = {};
    SetTimer(nullptr, 0, 100, inspectOpenMenu);
    mouse(WM_LBUTTONDOWN);
    mouse(WM_LBUTTONUP);
    EXPECT_FALSE(menuSeen.found) << "a left click opens nothing";

    mouse(WM_RBUTTONDOWN);
    mouse(WM_RBUTTONUP); // returns when the timer has closed the menu
    pumpMessages();
    ASSERT_TRUE(menuSeen.found);
    EXPECT_EQ(menuSeen.defaultId, static_cast<UINT>(ID_TRAY_SHOW));
    EXPECT_EQ(menuSeen.firstText, "&Show Kelvane");
}
