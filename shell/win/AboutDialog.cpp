#include "shell/win/AboutDialog.h"
#include "framework/win/ShellOpen.h"

#include "resources/ProductInfo.h"
#include "resources/ResourceIds.h"

namespace kelvane {

namespace {

AboutDialog* openAbout = nullptr;

constexpr COLORREF linkBlue = RGB(0, 0, 255), visitedPurple = RGB(128, 0, 128);

} // namespace

AboutDialog::AboutDialog() : Plinth::Dialog(IDD_ABOUT) {}

AboutDialog::~AboutDialog() {
    if (openAbout == this) {
        openAbout = nullptr;
    }
}

void AboutDialog::showSingle(HWND owner) {
    if (openAbout && openAbout->handle()) {
        SetForegroundWindow(openAbout->handle());
        return;
    }
    AboutDialog about;
    openAbout = &about;
    about.runModal(owner);
}

bool AboutDialog::onInit() {
    ok_.attach(item(IDOK), RGB(0, 0, 128), RGB(0, 0, 255));
    LOGFONTA face{};
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(handle(), WM_GETFONT, 0, 0));
    if (font && GetObjectA(font, sizeof face, &face)) {
        face.lfUnderline = TRUE;
        linkFont_.reset(CreateFontIndirectA(&face));
        SendDlgItemMessageA(handle(), IDC_ABOUT_WEB, WM_SETFONT,
                            reinterpret_cast<WPARAM>(linkFont_.get()), FALSE);
        SendDlgItemMessageA(handle(), IDC_ABOUT_MAIL, WM_SETFONT,
                            reinterpret_cast<WPARAM>(linkFont_.get()), FALSE);
    }
    return true;
}

bool AboutDialog::isLink(HWND control) const {
    return control && (control == item(IDC_ABOUT_WEB) || control == item(IDC_ABOUT_MAIL));
}

bool AboutDialog::onCommand(int id, int code, HWND control) {
    if ((id == IDC_ABOUT_WEB || id == IDC_ABOUT_MAIL) && code == STN_CLICKED) {
        const bool web = id == IDC_ABOUT_WEB;
        const char* target = web ? KELVANE_WEB_ADDRESS : "mailto:" KELVANE_MAIL_ADDRESS;
        Plinth::shellExecute(handle(), target);
        (web ? webVisited_ : mailVisited_) = true;
        InvalidateRect(control, nullptr, TRUE);
        return true;
    }
    return Plinth::Dialog::onCommand(id, code, control);
}

bool AboutDialog::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_DRAWITEM) {
        result = Plinth::forwardDrawItem(lParam) ? TRUE : FALSE;
        return true;
    }
    if (message == WM_CTLCOLORSTATIC && isLink(reinterpret_cast<HWND>(lParam))) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        const bool visited =
            reinterpret_cast<HWND>(lParam) == item(IDC_ABOUT_WEB) ? webVisited_ : mailVisited_;
        SetTextColor(dc, visited ? visitedPurple : linkBlue);
        SetBkMode(dc, TRANSPARENT);
        result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        return true;
    }
    if (message == WM_SETCURSOR && isLink(reinterpret_cast<HWND>(wParam))) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        result = TRUE;
        return true;
    }
    return false;
}

} // namespace kelvane
