#pragma once
// Start, stop, pause, continue and restart of the selected services.
#include "operations/ServiceControl.h"
#include "operations/StopWithDependents.h"
#include "operations/win/CommandHost.h"
#include "operations/win/ScmConnection.h"

#include <windows.h>

#include <memory>
#include <optional>

namespace kelvane {

// The default time each service gets to settle.
constexpr DWORD controlTimeoutMs = 30000;

// The control steps through ScmConnection against the manager of host.
class ScmControlPlatform : public ControlPlatform {
public:
    // progressWindow receives WM_APP at each poll of a pending service; with
    // pumpMessages the thread keeps dispatching while it waits.
    ScmControlPlatform(std::string host, HWND progressWindow, bool pumpMessages = true);

    void openManager() override;
    void openService(const std::string& name, std::uint32_t rights) override;
    void startService() override;
    std::uint32_t sendControl(std::uint32_t control) override;
    std::uint32_t stopWithDependents(const std::string& name, std::uint32_t rights,
                                     std::uint32_t timeoutMs) override;
    int waitForStableState(const std::string& name, std::uint32_t control,
                           std::uint32_t timeoutMs) override;
    bool windowGone() override;
    void release() override;

protected:
    // The manager calls of stopping with dependents.
    virtual std::unique_ptr<StopPlatform> stopPlatform(SC_HANDLE manager);
    ScmConnection& connection();

private:
    std::string host_;
    HWND window_;
    bool pumpMessages_;
    std::optional<ScmConnection> connection_;
};

// Sends rights/control to each name, waits for them to settle, refreshes
// the list and writes the summary above the failures of single services.
// The number that settled, or -1 when the application quit or the window
// went during the wait (the window is then left alone). control 0 starts
// the services.
int controlServices(CommandHost& host, const std::vector<std::string>& names, DWORD rights,
                    DWORD control, DWORD timeoutMs = controlTimeoutMs);
int controlServices(CommandHost& host, ControlPlatform& platform,
                    const std::vector<std::string>& names, DWORD rights, DWORD control,
                    DWORD timeoutMs = controlTimeoutMs);

// The command handler: controls the selected services. Does nothing when no
// service is selected.
void controlSelected(CommandHost& host, DWORD rights, DWORD control);

} // namespace kelvane
