#pragma once
// The notification-area icon of a tray run: a hidden top-level window
// "TrayService" that owns the icon, turns its mouse messages into clicks and
// answers the tray broadcast message, by which other instances count running
// tray instances and ask them to close.
#include "framework/win/UniqueHandle.h"
#include "shell/AppConfig.h"
#include "shell/TrayClicks.h"

#include <windows.h>

namespace kelvane {

extern const char trayWindowTitle[]; // "TrayService"

// "TrayMsg_trevolt-kelvane", registered on first use.
UINT trayBroadcastMessage();

// Top-level windows that answer the broadcast with the tray-present reply;
// a window that does not answer within 3 s is not counted.
unsigned countTrayInstances();
// Asks every tray instance to close and returns once each has taken the
// request (a hung window is given up after 3 s).
void closeAllTrayInstances();

class TrayWindow {
public:
    // config: what "&Show Kelvane" opens the main window on. A window that
    // ends the run posts the quit message when it is destroyed.
    explicit TrayWindow(const AppConfig& config, bool endsRun = true);
    virtual ~TrayWindow();
    TrayWindow(const TrayWindow&) = delete;
    TrayWindow& operator=(const TrayWindow&) = delete;

    // Creates the hidden window and adds the icon; raises LWE when the
    // window cannot be made.
    void create();
    HWND handle() const { return window_; }

    // Menu 102 in the chosen language, and its sub-menu with the first entry
    // made the default one.
    static Plinth::UniqueMenu loadMenu();
    static HMENU popupOf(HMENU menu);

protected:
    virtual void destroy();
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void command(int id);
    virtual void addIcon();
    virtual void mouseMove(UINT iconId);
    // Button: 0 left, 1 right, 2 middle.
    virtual void click(UINT iconId, int button);
    virtual void doubleClick(UINT iconId, int button);

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    void iconMessage(UINT iconId, UINT mouseMessage);
    void removeIcon();
    void showMainWindow();

    AppConfig config_;
    bool endsRun_;
    HWND window_ = nullptr;
    UINT taskbarCreated_ = 0;
    ClickTracker clicks_;
    HICON icon_ = nullptr; // shared: owned by the system
};

} // namespace kelvane
