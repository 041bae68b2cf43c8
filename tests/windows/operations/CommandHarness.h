#pragma once
// What the operation tests stand in for: the main window behind CommandHost
// (a real hidden window with a host field that counts the progress messages
// it is sent), message boxes answered by the test, and dialogs driven by
// scripted steps as they open.
#include "operations/win/CommandHost.h"
#include "tests/windows/support/DialogScript.h"
#include "tests/windows/support/TestServices.h"

namespace kelvane::test {

class TestCommandHost : public CommandHost {
public:
    TestCommandHost() : busy([this](bool isBusy) { busyUpdates.push_back(isBusy); }) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &procedure;
        windowClass.lpszClassName = "KelvaneTestCommandHost";
        RegisterClassA(&windowClass); // fails harmlessly once registered
        window_.reset(CreateWindowA(windowClass.lpszClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 400,
                                    300, nullptr, nullptr, nullptr, nullptr));
        hostField_ = CreateWindowA("ComboBox", "", WS_CHILD | CBS_DROPDOWN, 0, 0, 200, 120,
                                   window_.get(), reinterpret_cast<HMENU>(1000), nullptr, nullptr);
        EXPECT_TRUE(window_ && hostField_) << "no test window (is there a display?)";
        dispatchedProgress = 0;
    }

    std::string hostName() const override { return appConfig.computerName; }
    bool hostIsLocal() const override { return true; }
    std::vector<ServiceEntry> selectedEntries() const override { return selection; }
    void writeStatus(const std::string& text) override { statusWrites.push_back(status = text); }
    void refreshList() override { ++refreshes; }
    HWND window() const override { return window_.get(); }
    BusyCounter& busyCounter() override { return busy; }
    AppConfig& config() override { return appConfig; }
    bool saveControls() override { return ++saves > 0; }
    void loadControls() override {}
    void clearFileDetails() override {}
    HWND hostField() const override { return hostField_; }

    // Selects the named services, with their process ids as now.
    void select(const std::vector<std::string>& names) {
        selection.resize(names.size());
        std::transform(names.begin(), names.end(), selection.begin(), entryOf);
    }
    // The progress messages the window's procedure got, only while a wait
    // dispatched them.
    inline static int dispatchedProgress = 0;

    // The entry a list row would hold for a service of the manager.
    static ServiceEntry entryOf(const std::string& name) {
        const SERVICE_STATUS_PROCESS status = queryStatus(name);
        ServiceEntry entry;
        entry.serviceName = entry.displayName = name;
        if (status.dwProcessId) {
            entry.pidText = std::to_string(status.dwProcessId);
        }
        entry.type = static_cast<std::int32_t>(status.dwServiceType);
        return entry;
    }

    std::vector<ServiceEntry> selection;
    std::vector<std::string> statusWrites; // every write, in order
    std::string status;                    // the status line now
    int refreshes = 0, saves = 0;
    std::vector<bool> busyUpdates; // the button updates the counter asked for
    BusyCounter busy;
    AppConfig appConfig;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        dispatchedProgress += message == WM_APP;
        return DefWindowProcA(window, message, wParam, lParam);
    }

    Plinth::UniqueWindow window_; // the host field goes with it
    HWND hostField_ = nullptr;
};

// A test service started and running, or a test failure.
inline std::string runningService(TestServices& services,
                                  const std::string& arguments = "--accept=stop") {
    std::string name = services.create({arguments});
    EXPECT_TRUE(startService(name) && waitForState(name, SERVICE_RUNNING)) << name;
    return name;
}

} // namespace kelvane::test
