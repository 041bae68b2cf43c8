#pragma once
// What the operation tests stand in for: the main window behind CommandHost
// (a real hidden window with a host field), message boxes answered by the
// test, and dialogs driven by scripted steps as they open.
#include "operations/win/CommandHost.h"
#include "tests/windows/support/DialogScript.h"
#include "tests/windows/support/TestServices.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace kelvane::test {

class TestCommandHost : public CommandHost {
public:
    TestCommandHost();
    ~TestCommandHost() override;

    std::string hostName() const override { return appConfig.computerName; }
    bool hostIsLocal() const override { return local; }
    std::vector<ServiceEntry> selectedEntries() const override { return selection; }
    void writeStatus(const std::string& text) override;
    void refreshList() override;
    HWND window() const override { return window_; }
    BusyCounter& busyCounter() override { return busy; }
    AppConfig& config() override { return appConfig; }
    bool saveControls() override;
    void loadControls() override { ++loads; }
    void clearFileDetails() override { ++detailClears; }
    HWND hostField() const override { return hostField_; }

    // Selects the named services, with their process ids as now.
    void select(const std::vector<std::string>& names);
    // The progress messages the window received; dispatches what is queued.
    int progressMessages();

    std::vector<ServiceEntry> selection;
    std::vector<std::string> statusWrites; // every write, in order
    std::string status;                    // the status line now
    int refreshes = 0, saves = 0, loads = 0, detailClears = 0;
    std::vector<bool> busyUpdates; // the button updates the counter asked for
    BusyCounter busy;
    AppConfig appConfig;
    bool local = true;

private:
    HWND window_ = nullptr;
    HWND hostField_ = nullptr;
};

// A test service started and running, or a test failure.
inline std::string runningService(TestServices& services,
                                  const std::string& arguments = "--accept=stop") {
    std::string name = services.create({arguments});
    EXPECT_TRUE(startService(name) && waitForState(name, SERVICE_RUNNING)) << name;
    return name;
}

// Names for services a test creates through the program itself, named like
// the fixture's so a crashed run is swept too; removed at the end.
class OwnServiceNames {
public:
    std::string next() {
        static int n = 0;
        names_.push_back("kvtest-" + std::to_string(GetCurrentProcessId()) + "-own" +
                         std::to_string(++n));
        return names_.back();
    }
    ~OwnServiceNames() {
        for (const std::string& name : names_) {
            destroyService(name);
        }
    }

private:
    std::vector<std::string> names_;
};

// The entry a list row would hold for a service of the manager.
ServiceEntry entryOf(const std::string& name);

// Chooses item index in a drop-down list and tells the dialog.
void chooseListItem(HWND dialog, int id, int index);
// The item data of the selected entry of a drop-down list; -1 without one.
long long selectedData(HWND dialog, int id);
bool enabled(HWND dialog, int id);

} // namespace kelvane::test
