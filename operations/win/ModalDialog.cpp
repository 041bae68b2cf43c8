#include "operations/win/ModalDialog.h"

#include "framework/win/ColorButton.h"
#include "framework/win/Reports.h"

namespace kelvane {

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

bool ModalDialog::onInit() {
    startLayout();
    if (Plinth::guardCall([this] { prepare(); }, handle()) != Plinth::GuardResult::Done) {
        end(IDCANCEL);
    }
    return true;
}

bool ModalDialog::onCommand(int id, int code, HWND) {
    if (id == IDOK) {
        bool close = false;
        Plinth::guardCall([&] { close = onOk(); }, handle());
        if (close) {
            end(IDOK);
        }
    } else if (id == IDCANCEL) {
        end(IDCANCEL);
    } else {
        Plinth::guardCall([&] { onControl(id, code); }, handle());
    }
    return true;
}

bool ModalDialog::onMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message == WM_DRAWITEM) {
        result = Plinth::forwardDrawItem(lParam) ? TRUE : FALSE;
        return true;
    }
    return false;
}

} // namespace kelvane
