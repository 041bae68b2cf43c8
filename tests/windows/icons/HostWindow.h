#pragma once
// A hidden window standing in for the main window: it counts the messages
// the registry watcher (WM_APP) and the icon updater (WM_APP + 1) post.
#include <windows.h>

namespace kelvane::test {

class HostWindow {
public:
    HostWindow() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &procedure;
        windowClass.lpszClassName = "KelvaneIconTestHost";
        RegisterClassA(&windowClass); // fails harmlessly once registered
        window_ = CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, nullptr, this);
    }
    ~HostWindow() { DestroyWindow(window_); }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND handle() const { return window_; }
    int refreshMessages = 0;
    int passMessages = 0;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            SetWindowLongPtrA(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(
                                  reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        }
        auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && (message == WM_APP || message == WM_APP + 1)) {
            ++(message == WM_APP ? self->refreshMessages : self->passMessages);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    HWND window_ = nullptr;
};

} // namespace kelvane::test
