#include "tests/windows/icons/HostWindow.h"
#include "tests/windows/support/MainWindowThread.h"

namespace kelvane::test {

namespace {
const char className[] = "KelvaneIconTestHost";
}

HostWindow::HostWindow() {
    static bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &HostWindow::procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = className;
        return RegisterClassA(&windowClass) != 0;
    }();
    (void)registered;
    window_ = CreateWindowExA(0, className, "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                              nullptr, GetModuleHandleA(nullptr), this);
    list_ = CreateWindowExA(
        0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHAREIMAGELISTS, 0, 0, 400,
        300, window_, reinterpret_cast<HMENU>(1), GetModuleHandleA(nullptr), nullptr);
    LVCOLUMNA column{LVCF_WIDTH | LVCF_TEXT, 0, 200, const_cast<char*>("name")};
    SendMessageA(list_, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
}

HostWindow::~HostWindow() {
    DestroyWindow(window_);
    pump();
}

void HostWindow::addItem(LPARAM data) {
    LVITEMA item{};
    item.mask = LVIF_PARAM | LVIF_IMAGE | LVIF_TEXT;
    item.iItem = static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<char*>("item");
    item.iImage = I_IMAGECALLBACK;
    item.lParam = data;
    SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int HostWindow::itemImage(int index) const {
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

LRESULT CALLBACK HostWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message == WM_APP) {
        ++self->refreshMessages;
        return 0;
    }
    if (self && message == WM_APP + 1) {
        ++self->passMessages;
        return 0;
    }
    if (self && message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == LVN_GETDISPINFOA || header->code == LVN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMLVDISPINFOA*>(lParam);
            if ((info->item.mask & LVIF_IMAGE) && self->imageOf) {
                info->item.iImage = self->imageOf(info->item.lParam);
            }
            return 0;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace kelvane::test
