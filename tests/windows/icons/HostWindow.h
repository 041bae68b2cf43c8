#pragma once
// A hidden window standing in for the main window: it counts the messages
// the watcher and the icon updater post and holds a list view whose items
// ask their image index back, as the main window's list does.
#include <windows.h>
#include <commctrl.h>

#include <functional>

namespace kelvane::test {

class HostWindow {
public:
    HostWindow();
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND handle() const { return window_; }
    HWND list() const { return list_; }

    int refreshMessages = 0; // WM_APP
    int passMessages = 0;    // WM_APP + 1
    // LVN_GETDISPINFO's iImage for an item's data.
    std::function<int(LPARAM)> imageOf;

    // An item with data and a callback image, at the end of the list.
    void addItem(LPARAM data);
    // The image index the list reports for an item (asked back through
    // LVN_GETDISPINFO).
    int itemImage(int item) const;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    HWND list_ = nullptr;
};

} // namespace kelvane::test
