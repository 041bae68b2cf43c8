#pragma once
// A small modal dialog from a template in the language chosen at start-up,
// with anchored resizing and failures of its handlers shown in the report
// box (an exception must not escape a dialog procedure).
#include "framework/ResizeLayout.h"

#include <windows.h>

#include <string>

namespace kelvane {

class ModalDialog {
public:
    explicit ModalDialog(int templateId) : templateId_(templateId) {}
    virtual ~ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    // Shows the dialog owned by owner until it closes: IDOK or IDCANCEL.
    // Raises LWE when the template is missing or the dialog cannot be made.
    INT_PTR run(HWND owner);
    HWND handle() const { return dialog_; }

protected:
    // After the controls exist and before the dialog is shown.
    virtual void onInit() {}
    // OK was pressed; true closes the dialog. A failure keeps it open.
    virtual bool onOk() { return true; }
    virtual void onCommand(int /*id*/, int /*notification*/) {}

    // Registers how a control follows the size (ResizeLayout's anchors).
    void anchor(int id, unsigned flags) { layout_.anchor(id, flags); }
    HWND item(int id) const { return GetDlgItem(dialog_, id); }
    std::string itemText(int id) const;
    void setItemText(int id, const std::string& text) const;
    void enableItem(int id, bool enable) const { EnableWindow(item(id), enable); }

private:
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void relayout(int width, int height);

    int templateId_;
    HWND dialog_ = nullptr;
    Plinth::ResizeLayout layout_;
    SIZE minimumSize_{};
};

} // namespace kelvane
