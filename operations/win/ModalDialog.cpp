#include "operations/win/ModalDialog.h"

#include "framework/Exception.h"
#include "framework/win/ColorButton.h"
#include "framework/win/ModuleResources.h"
#include "framework/win/Reports.h"

namespace kelvane {

INT_PTR ModalDialog::run(HWND owner) {
    auto layout = static_cast<const DLGTEMPLATE*>(
        Plinth::loadLocalisedResource(RT_DIALOG, MAKEINTRESOURCEA(templateId_)));
    if (!layout) {
        throw Plinth::LWE(ERROR_RESOURCE_NAME_NOT_FOUND);
    }
    INT_PTR result = DialogBoxIndirectParamA(Plinth::resourceModule(), layout, owner, dialogProc,
                                             reinterpret_cast<LPARAM>(this));
    if (result == -1) {
        throw Plinth::LWE();
    }
    return result;
}

std::string ModalDialog::itemText(int id) const {
    HWND control = item(id);
    int length = GetWindowTextLengthA(control);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    length = GetWindowTextA(control, &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

void ModalDialog::setItemText(int id, const std::string& text) const {
    SetWindowTextA(item(id), text.c_str());
}

INT_PTR CALLBACK ModalDialog::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        reinterpret_cast<ModalDialog*>(lParam)->dialog_ = dialog;
    }
    auto self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    return self ? self->handleMessage(message, wParam, lParam) : FALSE;
}

INT_PTR ModalDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        RECT client, outer;
        GetClientRect(dialog_, &client);
        GetWindowRect(dialog_, &outer);
        layout_ = Plinth::ResizeLayout(client.right, client.bottom);
        minimumSize_ = {outer.right - outer.left, outer.bottom - outer.top};
        if (Plinth::guardCall([this] { onInit(); }, dialog_) != Plinth::GuardResult::Done) {
            EndDialog(dialog_, IDCANCEL);
        }
        return TRUE;
    }
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id == IDOK) {
            bool close = false;
            Plinth::guardCall([&] { close = onOk(); }, dialog_);
            if (close) {
                EndDialog(dialog_, IDOK);
            }
        } else if (id == IDCANCEL) {
            EndDialog(dialog_, IDCANCEL);
        } else {
            Plinth::guardCall([&] { onCommand(id, HIWORD(wParam)); }, dialog_);
        }
        return TRUE;
    }
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) {
            relayout(LOWORD(lParam), HIWORD(lParam));
        }
        return FALSE;
    case WM_GETMINMAXINFO: {
        auto info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (minimumSize_.cx) {
            info->ptMinTrackSize = {minimumSize_.cx, minimumSize_.cy};
        }
        return TRUE;
    }
    case WM_DRAWITEM:
        return Plinth::forwardDrawItem(lParam) ? TRUE : FALSE;
    default:
        return FALSE;
    }
}

void ModalDialog::relayout(int width, int height) {
    auto placements = layout_.resize(width, height, [this](int id) {
        RECT box{};
        HWND control = item(id);
        GetWindowRect(control, &box);
        MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&box), 2);
        return Plinth::LayoutRect{box.left, box.top, box.right, box.bottom};
    });
    if (placements.empty()) {
        return;
    }
    HDWP batch = BeginDeferWindowPos(static_cast<int>(placements.size()));
    for (const auto& placement : placements) {
        UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
        if (!placement.moves) {
            flags |= SWP_NOMOVE;
        }
        if (!placement.resizes) {
            flags |= SWP_NOSIZE;
        }
        const auto& r = placement.rect;
        if (batch) {
            batch = DeferWindowPos(batch, item(placement.controlId), nullptr, r.left, r.top,
                                   r.width(), r.height(), flags);
        }
    }
    if (batch) {
        EndDeferWindowPos(batch);
    }
    InvalidateRect(dialog_, nullptr, TRUE);
}

} // namespace kelvane
