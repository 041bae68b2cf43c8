// The tray window in this process, driven with the messages the shell and
// other instances send it (which press and release make a click is the
// native tests' business).
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

TEST_F(TrayWindowTest, IsAHiddenTopLevelWindowThatAnswersTheBroadcastAndClosesOnRequest) {
    char title[64] = {};
    GetWindowTextA(tray.handle(), title, sizeof title);
    EXPECT_STREQ(title, "TrayService");
    EXPECT_FALSE(IsWindowVisible(tray.handle()));
    EXPECT_EQ(GetParent(tray.handle()), nullptr);
    EXPECT_EQ(tray.iconsAdded, 1);

    const UINT broadcast = trayBroadcastMessage();
    EXPECT_EQ(broadcast, RegisterWindowMessageA("TrayMsg_trevolt-kelvane"));
    EXPECT_GE(countTrayInstances(), 1u);
    EXPECT_EQ(SendMessageA(tray.handle(), broadcast, 0, broadcast), trayPresentReply);
    pumpMessages();
    EXPECT_TRUE(IsWindow(tray.handle())) << "a count is no close request";

    HWND window = tray.handle();
    EXPECT_EQ(SendMessageA(window, broadcast, 0, trayCloseRequest), trayPresentReply)
        << "a closing instance still says it is there";
    pumpMessages();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(tray.handle(), nullptr);
}

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
