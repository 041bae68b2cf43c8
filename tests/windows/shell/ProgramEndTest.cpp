// The real program ends soon after it is told to, even while the update
// server it asked has accepted the connection and says nothing.
#include "tests/windows/support/LocalWebServer.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TrayInstances.h"

#include "framework/win/UniqueHandle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

using namespace kelvane::test;

namespace {

// Sends the internet library's requests of this user through a proxy while
// it lives: the program's update check takes the system's settings, so its
// request for the published description goes to the proxy.
class ProxySetting {
public:
    explicit ProxySetting(const std::string& server) {
        RegCreateKeyA(HKEY_CURRENT_USER, keyPath, key_.put());
        readSettings();
        DWORD on = 1;
        RegSetValueExA(key_.get(), "ProxyEnable", 0, REG_DWORD, reinterpret_cast<BYTE*>(&on),
                       sizeof on);
        RegSetValueExA(key_.get(), "ProxyServer", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(server.c_str()),
                       static_cast<DWORD>(server.size() + 1));
    }
    ~ProxySetting() {
        RegSetValueExA(key_.get(), "ProxyEnable", 0, REG_DWORD, reinterpret_cast<BYTE*>(&enabled_),
                       sizeof enabled_);
        if (saved_.empty()) {
            RegDeleteValueA(key_.get(), "ProxyServer");
        } else {
            RegSetValueExA(key_.get(), "ProxyServer", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(saved_.c_str()),
                           static_cast<DWORD>(saved_.size() + 1));
        }
    }
    ProxySetting(const ProxySetting&) = delete;
    ProxySetting& operator=(const ProxySetting&) = delete;

private:
    static constexpr const char* keyPath =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

    // The user's own settings, put back at the end.
    void readSettings() {
        DWORD size = sizeof enabled_;
        if (RegQueryValueExA(key_.get(), "ProxyEnable", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(&enabled_), &size) != ERROR_SUCCESS) {
            enabled_ = 0;
        }
        char text[512] = {};
        size = sizeof text - 1;
        if (RegQueryValueExA(key_.get(), "ProxyServer", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS) {
            saved_ = text;
        }
    }

    Plinth::UniqueKey key_;
    DWORD enabled_ = 0;
    std::string saved_;
};

// The visible dialog windows (the main window) of a process.
HWND mainWindowOf(DWORD processId) {
    struct Search {
        DWORD processId;
        HWND found = nullptr;
    } search{processId};
    EnumWindows(
        [](HWND window, LPARAM context) {
            auto* s = reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char kind[16] = {};
            GetClassNameA(window, kind, sizeof kind);
            if (owner == s->processId && std::string(kind) == "#32770" && IsWindowVisible(window)) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
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
