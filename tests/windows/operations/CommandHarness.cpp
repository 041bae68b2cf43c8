#include "tests/windows/operations/CommandHarness.h"

#include "tests/windows/support/TestPaths.h"

#include <gtest/gtest.h>

namespace kelvane::test {

namespace {

const char windowClass[] = "KelvaneTestCommandHost";
int progressCount = 0;

LRESULT CALLBACK hostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        ++progressCount;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void registerHostClass() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = hostWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = windowClass;
    RegisterClassA(&wc); // fails harmlessly once registered
}

} // namespace

TestCommandHost::TestCommandHost() : busy([this](bool isBusy) { busyUpdates.push_back(isBusy); }) {
    registerHostClass();
    window_ = CreateWindowA(windowClass, "Kelvane test host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    hostField_ = CreateWindowA("ComboBox", "", WS_CHILD | CBS_DROPDOWN, 0, 0, 200, 120, window_,
                               reinterpret_cast<HMENU>(1000), GetModuleHandleA(nullptr), nullptr);
    if (!window_ || !hostField_) {
        ADD_FAILURE() << "no test window (is there a display?): " << GetLastError();
    }
    progressCount = 0;
}

TestCommandHost::~TestCommandHost() {
    DestroyWindow(window_);
}

void TestCommandHost::writeStatus(const std::string& text) {
    statusWrites.push_back(text);
    status = text;
}

void TestCommandHost::refreshList() {
    ++refreshes;
}

bool TestCommandHost::saveControls() {
    ++saves;
    return true;
}

void TestCommandHost::select(const std::vector<std::string>& names) {
    selection.clear();
    for (const std::string& name : names) {
        selection.push_back(entryOf(name));
    }
}

int TestCommandHost::progressMessages() {
    MSG message;
    while (PeekMessageA(&message, window_, WM_APP, WM_APP, PM_REMOVE)) {
        DispatchMessageA(&message);
    }
    return progressCount;
}

ServiceEntry entryOf(const std::string& name) {
    ServiceEntry entry;
    entry.serviceName = name;
    entry.displayName = name;
    SERVICE_STATUS_PROCESS status = queryStatus(name);
    if (status.dwProcessId) {
        entry.pidText = std::to_string(status.dwProcessId);
    }
    entry.type = static_cast<std::int32_t>(status.dwServiceType);
    return entry;
}

void chooseListItem(HWND dialog, int id, int index) {
    HWND list = GetDlgItem(dialog, id);
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), reinterpret_cast<LPARAM>(list));
}

long long selectedData(HWND dialog, int id) {
    LRESULT at = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    return at == CB_ERR ? -1
                        : static_cast<long long>(SendDlgItemMessageA(dialog, id, CB_GETITEMDATA,
                                                                     static_cast<WPARAM>(at), 0));
}

bool enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

} // namespace kelvane::test
