#pragma once
// The operations' dialogs on the framework's dialog: OK asks the subclass
// whether the dialog may close, and a failure while it prepares the
// controls closes it as cancelled.
#include "framework/win/Dialog.h"

#include <windows.h>

#include <string>

namespace kelvane {

class ModalDialog : public Plinth::Dialog {
public:
    explicit ModalDialog(int templateId) : Plinth::Dialog(templateId) {}

    // Shows the dialog owned by owner until it closes: IDOK or IDCANCEL.
    // Raises LWE when the template is missing or the dialog cannot be made.
    INT_PTR run(HWND owner) { return runModal(owner); }

protected:
    // After the controls exist and the layout has started, before the
    // dialog is shown; anchors are registered here.
    virtual void prepare() {}
    // OK was pressed; true closes the dialog. A failure keeps it open.
    virtual bool onOk() { return true; }
    // Any other command of a control.
    virtual void onControl(int /*id*/, int /*notification*/) {}

    std::string itemText(int id) const;
    void setItemText(int id, const std::string& text) const;
    void enableItem(int id, bool enable) const { EnableWindow(item(id), enable); }

private:
    bool onInit() final;
    bool onCommand(int id, int code, HWND control) final;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

} // namespace kelvane
