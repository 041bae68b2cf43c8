// The real program ends soon after it is told to, even while the update
// server it asked has accepted the connection and says nothing.
#include "tests/windows/support/LocalWebServer.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TrayInstances.h"

#include "framework/win/UniqueHandle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kelvane::test;

namespace {

// Sends the internet library's requests of this user through a proxy while
// it lives: the program's update check takes the system's settings, so its
// request for the published description goes to the proxy. The user's own
// values come back at the end.
class ProxySetting {
public:
    explicit ProxySetting(const std::string& server) {
        RegCreateKeyA(HKEY_CURRENT_USER,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
                      key_.put());
        for (Saved& value : saved_) {
            DWORD size = sizeof value.data;
            value.existed = RegQueryValueExA(key_.get(), value.name, nullptr, &value.type,
                                             value.data, &size) == ERROR_SUCCESS;
            value.size = size;
        }
        const DWORD on = 1;
        RegSetValueExA(key_.get(), "ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on),
                       sizeof on);
        RegSetValueExA(key_.get(), "ProxyServer", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(server.c_str()),
                       static_cast<DWORD>(server.size() + 1));
    }
    ~ProxySetting() {
        for (const Saved& value : saved_) {
            value.existed
                ? RegSetValueExA(key_.get(), value.name, 0, value.type, value.data, value.size)
                : RegDeleteValueA(key_.get(), value.name);
        }
    }

private:
    struct Saved {
        const char* name;
        DWORD type = 0, size = 0;
        BYTE data[1024] = {};
        bool existed = false;
    };
    Plinth::UniqueKey key_;
    Saved saved_[2] = {{"ProxyEnable"}, {"ProxyServer"}};
};

// The visible dialog window (the main window) of a process.
HWND mainWindowOf(DWORD processId) {
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "#32770", nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

} // namespace

TEST(ProgramEnd, ClosingTheWindowEndsTheProgramWhileTheUpdateServerSaysNothing) {
    LocalWebServer server;
    server.fallSilent();
    ProxySetting proxy("127.0.0.1:" + std::to_string(server.port()));
    // "-nopersist": the check runs at every start, not once a day.
    const std::string program = programPath("kelvane.exe");
    std::string line = "\"" + program + "\" -nopersist";
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &started));
    CloseHandle(started.hThread);
    Plinth::UniqueHandleObject process(started.hProcess);

    EXPECT_TRUE(waitUntil([&] { return !server.requestsFor("").empty(); }, 60000))
        << "the update check asked the server";
    HWND window = nullptr;
    EXPECT_TRUE(
        waitUntil([&] { return (window = mainWindowOf(started.dwProcessId)) != nullptr; }, 60000));
    PostMessageA(window, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(process.get(), 60000) == WAIT_OBJECT_0;
    if (!ended) {
        TerminateProcess(process.get(), 99);
    }
    EXPECT_TRUE(ended) << "a hang check: the program ends within 60 s of the close";
}
