#include "framework/win/Dialog.h"

#include "framework/Exception.h"
#include "framework/win/MessageLoop.h"
#include "framework/win/ModuleResources.h"
#include "framework/win/Reports.h"
#include "framework/win/WindowDpi.h"

#include <vector>

namespace Plinth {

Dialog::~Dialog() {
    if (window_) {
        HWND window = window_;
        DestroyWindow(window);
    }
    stopFiltering();
}

bool Dialog::filterMessage(void* dialog, MSG& message) {
    return static_cast<Dialog*>(dialog)->isDialogMessage(message);
}

void Dialog::stopFiltering() {
    if (filterLoop_) {
        filterLoop_->removeFilter(this, &Dialog::filterMessage);
        filterLoop_ = nullptr;
    }
}

HWND Dialog::create(HWND owner) {
    const void* dialogTemplate = loadLocalisedResource(RT_DIALOG, MAKEINTRESOURCEA(templateId_));
    if (!dialogTemplate) {
        throw LWE(ERROR_RESOURCE_NAME_NOT_FOUND);
    }
    ended_ = false;
    HWND window =
        CreateDialogIndirectParamA(resourceModule(), static_cast<LPCDLGTEMPLATEA>(dialogTemplate),
                                   owner, dialogProc, reinterpret_cast<LPARAM>(this));
    if (!window) {
        throw LWE();
    }
    // Waits nested anywhere in this thread's handlers then serve the
    // dialog's keys as well.
    filterLoop_ = &MessageLoop::current();
    filterLoop_->addFilter(this, &Dialog::filterMessage);
    return window;
}

INT_PTR Dialog::runModal(HWND owner) {
    create(owner);
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) {
        EnableWindow(owner, FALSE);
    }
    ShowWindow(window_, SW_SHOW);
    MessageLoop& loop = MessageLoop::current();
    const int level = loop.level();
    MSG message;
    while (!ended_ && loop.level() == level) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            loop.quitTaken(got == 0 ? message.wParam : 0);
            // Every loop around learns of the quit as well.
            PostQuitMessage(static_cast<int>(got == 0 ? message.wParam : 0));
            break;
        }
        loop.dispatch(message);
    }
    if (!ended_) {
        result_ = IDCANCEL;
    }
    if (ownerWasEnabled) {
        EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
    if (window_) {
        DestroyWindow(window_);
    }
    return result_;
}

void Dialog::end(INT_PTR result) {
    result_ = result;
    ended_ = true;
    // Wakes a loop that waits in GetMessage.
    PostMessageA(window_, WM_NULL, 0, 0);
}

bool Dialog::isDialogMessage(MSG& message) {
    if (!window_ || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) {
        return false;
    }
    if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) {
        bool translated = false;
        guardCall([&] { translated = translateKey(message); }, window_);
        if (translated) {
            return true;
        }
    }
    return IsDialogMessageA(window_, &message) != FALSE;
}

bool Dialog::onCommand(int id, int, HWND) {
    if (id == IDOK || id == IDCANCEL) {
        end(id);
        return true;
    }
    return false;
}

bool Dialog::onNotify(NMHDR&, LRESULT&) {
    return false;
}

bool Dialog::onMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

void Dialog::startLayout() {
    RECT client{}, outer{};
    GetClientRect(window_, &client);
    GetWindowRect(window_, &outer);
    layout_ = ResizeLayout(client.right, client.bottom);
    minimumSize_ = {outer.right - outer.left, outer.bottom - outer.top};
    laidOut_ = true;
}

int Dialog::scaled(int pixels) const {
    return pixelsForDpi(pixels, dpi_);
}

void Dialog::rescale(int newDpi, const RECT& suggested) {
    const int oldDpi = dpi_;
    if (newDpi > 0 && newDpi != oldDpi) {
        std::vector<UniqueFont> fonts = scaleChildren(window_, oldDpi, newDpi);
        scaledFonts_.swap(fonts);
        // The controls stand where they would for the old client area
        // scaled; the move to the suggested size then lays them out as any
        // size change does.
        RECT client{};
        GetClientRect(window_, &client);
        layout_.rebase(MulDiv(client.right, newDpi, oldDpi), MulDiv(client.bottom, newDpi, oldDpi));
        // Rounded down: never larger than the size the system suggests.
        minimumSize_ = {minimumSize_.cx * newDpi / oldDpi, minimumSize_.cy * newDpi / oldDpi};
        dpi_ = newDpi;
        onDpiChanged(oldDpi, newDpi);
    }
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Dialog::relayout() {
    RECT client{};
    GetClientRect(window_, &client);
    applyLayout(client.right, client.bottom);
}

void Dialog::applyLayout(int clientWidth, int clientHeight) {
    if (!laidOut_) {
        return;
    }
    auto currentRect = [this](int id) {
        RECT rect{};
        HWND control = item(id);
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
        return LayoutRect{rect.left, rect.top, rect.right, rect.bottom};
    };
    std::vector<ResizeLayout::Placement> placements =
        layout_.resize(clientWidth, clientHeight, currentRect);
    if (placements.empty()) {
        return;
    }
    HDWP batch = BeginDeferWindowPos(static_cast<int>(placements.size()));
    for (const ResizeLayout::Placement& p : placements) {
        UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
        if (!p.moves) {
            flags |= SWP_NOMOVE;
        }
        if (!p.resizes) {
            flags |= SWP_NOSIZE;
        }
        if (batch) {
            batch = DeferWindowPos(batch, item(p.controlId), nullptr, p.rect.left, p.rect.top,
                                   p.rect.width(), p.rect.height(), flags);
        }
    }
    if (batch) {
        EndDeferWindowPos(batch);
    }
    InvalidateRect(window_, nullptr, TRUE);
}

INT_PTR CALLBACK Dialog::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->window_ = window;
        SetWindowLongPtrA(window, DWLP_USER, lParam);
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(window, DWLP_USER));
    }
    if (!self) {
        return FALSE;
    }
    INT_PTR answer = FALSE;
    HWND paintWindow = message == WM_PAINT ? window : nullptr;
    guardCall([&] { answer = self->route(message, wParam, lParam); }, window, paintWindow);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        self->window_ = nullptr;
        self->stopFiltering();
    }
    return answer;
}

INT_PTR Dialog::route(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        dpi_ = windowDpi(window_);
        keepDialogDpiScalingToItself(window_);
        return onInit() ? TRUE : FALSE;
    case WM_COMMAND:
        return onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE
                                                                                         : FALSE;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (onNotify(*reinterpret_cast<NMHDR*>(lParam), result)) {
            setDialogResult(window_, result);
            return TRUE;
        }
        return FALSE;
    }
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) {
            applyLayout(LOWORD(lParam), HIWORD(lParam));
        }
        break;
    case WM_GETMINMAXINFO:
        if (laidOut_) {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = {minimumSize_.cx, minimumSize_.cy};
            return TRUE;
        }
        break;
    case WM_DPICHANGED:
        rescale(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return TRUE;
    case WM_DESTROY:
        onDestroy();
        break;
    default:
        break;
    }
    LRESULT result = 0;
    if (onMessage(message, wParam, lParam, result)) {
        // Messages whose answer is the return value itself.
        if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLOREDIT ||
            message == WM_CTLCOLORBTN || message == WM_CTLCOLORDLG ||
            message == WM_CTLCOLORLISTBOX || message == WM_QUERYDRAGICON) {
            return static_cast<INT_PTR>(result);
        }
        setDialogResult(window_, result);
        return TRUE;
    }
    return FALSE;
}

void setDialogResult(HWND dialog, LRESULT result) {
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
}

} // namespace Plinth
