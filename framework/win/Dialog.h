#pragma once
// A dialog made from a template in the chosen language. It runs modal with
// its own message loop rather than the platform's, so that the program's
// keyboard handling (accelerators) sees every key first and the nested waits
// of the framework keep serving it. Handlers that throw are reported in the
// failure box; the dialog stays open.
#include "framework/ResizeLayout.h"
#include "framework/win/UniqueHandle.h"

#include <windows.h>

#include <vector>

namespace Plinth {

class MessageLoop;

class Dialog {
public:
    explicit Dialog(int templateId) : templateId_(templateId) {}
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Disables owner, runs until end() and returns end's result (2 when the
    // thread is asked to quit meanwhile; the quit then reaches the loop
    // around).
    INT_PTR runModal(HWND owner);
    // The window without a loop of its own (hosted windows and tests); the
    // thread's MessageLoop offers it its keys.
    HWND create(HWND owner);

    HWND handle() const { return window_; }
    HWND item(int id) const { return GetDlgItem(window_, id); }
    void end(INT_PTR result);
    bool ended() const { return ended_; }

    // The dialog's keys: accelerators first (translateKey), then the dialog
    // manager's navigation. True when the message was consumed.
    bool isDialogMessage(MSG& message);

protected:
    // WM_INITDIALOG. False when the handler has set the focus itself.
    virtual bool onInit() { return true; }
    virtual bool onCommand(int id, int code, HWND control);
    virtual bool onNotify(NMHDR& header, LRESULT& result);
    // Any other message; true when handled, with its result.
    virtual bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    virtual bool translateKey(MSG&) { return false; }
    // The window is going away: last chance to use controls.
    virtual void onDestroy() {}
    // The window now draws at newDpi: its controls, fonts and layout are
    // scaled already; what the dialog sized in pixels itself follows here.
    virtual void onDpiChanged(int /*oldDpi*/, int /*newDpi*/) {}

    // The DPI the window draws at.
    int dpi() const { return dpi_; }
    // Pixels meant for 96 DPI at the window's DPI.
    int scaled(int pixels) const;

    // Takes the current client size as the layout's start and the window's
    // outer size as the smallest it may be made.
    void startLayout();
    void anchor(int controlId, unsigned flags) { layout_.anchor(controlId, flags); }
    // Moves the anchored controls for the current client size.
    void relayout();

private:
    static bool filterMessage(void* dialog, MSG& message);
    void stopFiltering();
    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR route(UINT message, WPARAM wParam, LPARAM lParam);
    void applyLayout(int clientWidth, int clientHeight);
    void rescale(int newDpi, const RECT& suggested);

    int templateId_;
    HWND window_ = nullptr;
    MessageLoop* filterLoop_ = nullptr;
    bool ended_ = false;
    INT_PTR result_ = 0;
    ResizeLayout layout_;
    bool laidOut_ = false;
    SIZE minimumSize_{0, 0};
    int dpi_ = 96;
    std::vector<UniqueFont> scaledFonts_; // the controls' fonts after a DPI change
};

// Sets the dialog procedure's result for messages whose answer is not the
// procedure's return value (WM_NOTIFY custom draw and the like).
void setDialogResult(HWND dialog, LRESULT result);

} // namespace Plinth
