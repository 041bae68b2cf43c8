#include "operations/win/ControlCommands.h"

#include "framework/Exception.h"
#include "framework/TextFormat.h"
#include "framework/win/ModuleResources.h"
#include "operations/StatusReport.h"
#include "operations/win/ScmStopPlatform.h"
#include "operations/win/WaitCursor.h"

namespace kelvane {

namespace {

// Lowers the busy counter when the command ends, unless the window may be
// gone by then.
class BusyUntilEnd {
public:
    explicit BusyUntilEnd(BusyCounter& counter) : counter_(&counter) { counter_->beginBusy(); }
    ~BusyUntilEnd() {
        if (counter_) {
            counter_->endBusy();
        }
    }
    BusyUntilEnd(const BusyUntilEnd&) = delete;
    BusyUntilEnd& operator=(const BusyUntilEnd&) = delete;
    void abandon() { counter_ = nullptr; }

private:
    BusyCounter* counter_;
};

} // namespace

ScmControlPlatform::ScmControlPlatform(std::string host, HWND progressWindow, bool pumpMessages)
    : host_(std::move(host)), window_(progressWindow), pumpMessages_(pumpMessages) {}

ScmConnection& ScmControlPlatform::connection() {
    if (!connection_) {
        connection_.emplace();
    }
    return *connection_;
}

void ScmControlPlatform::openManager() {
    connection().openManager(host_, managerRight::connectAndEnumerate);
}

void ScmControlPlatform::openService(const std::string& name, std::uint32_t rights) {
    connection().openService(name, rights, host_);
}

void ScmControlPlatform::startService() {
    if (!StartServiceA(connection().service(), 0, nullptr)) {
        throw Plinth::LWE();
    }
}

std::uint32_t ScmControlPlatform::sendControl(std::uint32_t control) {
    SERVICE_STATUS status{};
    return ControlService(connection().service(), control, &status) ? 0 : GetLastError();
}

std::uint32_t ScmControlPlatform::stopWithDependents(const std::string& name, std::uint32_t rights,
                                                     std::uint32_t timeoutMs) {
    openService(name, rights | serviceRight::queryStatus | serviceRight::enumerateDependents);
    std::unique_ptr<StopPlatform> platform = stopPlatform(connection().manager());
    return kelvane::stopWithDependents(*platform, connection().service(), true, timeoutMs);
}

std::unique_ptr<StopPlatform> ScmControlPlatform::stopPlatform(SC_HANDLE manager) {
    return std::make_unique<ScmStopPlatform>(manager);
}

int ScmControlPlatform::waitForStableState(const std::string& name, std::uint32_t control,
                                           std::uint32_t timeoutMs) {
    return connection().waitForStableState(name, control, window_, pumpMessages_, timeoutMs);
}

bool ScmControlPlatform::windowGone() {
    return window_ && !IsWindow(window_);
}

void ScmControlPlatform::release() {
    connection_.reset();
}

int controlServices(CommandHost& host, const std::vector<std::string>& names, DWORD rights,
                    DWORD control, DWORD timeoutMs) {
    ScmControlPlatform platform(host.hostName(), host.window());
    return controlServices(host, platform, names, rights, control, timeoutMs);
}

int controlServices(CommandHost& host, ControlPlatform& platform,
                    const std::vector<std::string>& names, DWORD rights, DWORD control,
                    DWORD timeoutMs) {
    StatusReport report([&host](const std::string& text) { host.writeStatus(text); });
    BusyUntilEnd busy(host.busyCounter());
    int settled = 0;
    try {
        WaitCursor cursor;
        settled = runControl(platform, names, rights, control, timeoutMs, report.failureWriter());
    } catch (const Plinth::Exception& e) {
        report.addFailure(e.getMessage());
        settled = 0;
    }
    platform.release();
    if (settled == -1) {
        busy.abandon();
        return -1;
    }
    host.refreshList();
    if (const ControlCommand* command = controlCommandForControl(control)) {
        report.finish(Plinth::formatText(
            Plinth::loadString(summaryTextId(*command, settled)).c_str(), settled));
    }
    return settled;
}

void controlSelected(CommandHost& host, DWORD rights, DWORD control) {
    std::vector<std::string> names;
    for (const ServiceEntry& entry : host.selectedEntries()) {
        names.push_back(entry.serviceName.str());
    }
    if (!names.empty()) {
        controlServices(host, names, rights, control);
    }
}

} // namespace kelvane
