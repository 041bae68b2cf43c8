#pragma once
// The About box: version, purpose, and the maker's web and mail addresses
// as links. One at a time per process.
#include "framework/win/ColorButton.h"
#include "framework/win/Dialog.h"
#include "framework/win/UniqueHandle.h"

namespace kelvane {

class AboutDialog : public Plinth::Dialog {
public:
    AboutDialog();
    ~AboutDialog() override;
    // Runs the box, or brings the one already open to the front.
    static void showSingle(HWND owner);

protected:
    bool onInit() override;
    bool onCommand(int id, int code, HWND control) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool isLink(HWND control) const;

    Plinth::ColorButton ok_;
    Plinth::UniqueFont linkFont_;
    bool webVisited_ = false;
    bool mailVisited_ = false;
};

} // namespace kelvane
