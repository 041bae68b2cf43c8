#include "operations/win/ChangeCommands.h"

#include "framework/Exception.h"
#include "framework/TextFormat.h"
#include "framework/win/MessageBoxes.h"
#include "framework/win/ModuleResources.h"
#include "framework/win/UniqueHandle.h"
#include "operations/ProcessKill.h"
#include "operations/ServiceControl.h"
#include "operations/StatusReport.h"
#include "operations/win/ScmConnection.h"
#include "operations/win/WaitCursor.h"
#include "resources/ResourceIds.h"

#include <functional>

namespace kelvane {

namespace {

constexpr unsigned safetyCaption = 143;
constexpr UINT safetyStyle = MB_YESNO | MB_ICONEXCLAMATION; // 0x34
constexpr unsigned removeQuestion = 142, removedSummary = 144;
constexpr unsigned startTypeQuestion = 145, startTypeSummary = 146;
constexpr unsigned killQuestion = 187, killedSummary = 189, killedOneSummary = 190;
constexpr DWORD tokenRights = TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY; // 0x28
constexpr DWORD processRights = PROCESS_TERMINATE | SYNCHRONIZE;     // 0x100001
const char debugPrivilege[] = "SeDebugPrivilege";

std::string countText(unsigned id, int count) {
    return Plinth::formatText(Plinth::loadString(id).c_str(), count);
}

// Runs change on each selected service with its own connection; the number
// changed. A failure of one is reported without the service's name.
int forEachSelected(CommandHost& host, StatusReport& report,
                    const std::function<void(ScmConnection&, const std::string&)>& change) {
    int changed = 0;
    const std::string computer = host.hostName();
    for (const ServiceEntry& entry : host.selectedEntries()) {
        WaitCursor cursor;
        try {
            ScmConnection connection;
            connection.openManager(computer, managerRight::connectAndEnumerate);
            change(connection, entry.serviceName.str());
            ++changed;
        } catch (const Plinth::Exception& e) {
            report.addFailure(e.getMessage());
        }
    }
    return changed;
}

StatusReport statusReportOf(CommandHost& host) {
    return StatusReport([&host](const std::string& text) { host.writeStatus(text); });
}

void finish(CommandHost& host, StatusReport& report, int changed, const std::string& summary) {
    // With nothing changed the failures alone stay readable.
    if (changed == 0) {
        return;
    }
    host.refreshList();
    report.finish(summary);
}

// The calling thread's own token; a thread without one impersonates itself
// first and stops again when the command ends.
class ThreadToken {
public:
    ThreadToken() {
        if (OpenThreadToken(GetCurrentThread(), tokenRights, FALSE, token_.put())) {
            return;
        }
        DWORD error = GetLastError();
        if (error != ERROR_NO_TOKEN) {
            throw Plinth::SDKException(error);
        }
        if (!ImpersonateSelf(SecurityImpersonation)) {
            throw Plinth::LWE();
        }
        impersonating_ = true;
        if (!OpenThreadToken(GetCurrentThread(), tokenRights, FALSE, token_.put())) {
            DWORD failure = GetLastError();
            RevertToSelf();
            throw Plinth::LWE(failure);
        }
    }
    ~ThreadToken() {
        token_.reset();
        if (impersonating_) {
            RevertToSelf();
        }
    }
    ThreadToken(const ThreadToken&) = delete;
    ThreadToken& operator=(const ThreadToken&) = delete;
    HANDLE get() const { return token_.get(); }

private:
    Plinth::UniqueHandleObject token_;
    bool impersonating_ = false;
};

// The kill steps on the calling thread's token and real processes.
class TokenKillPlatform : public KillPlatform {
public:
    explicit TokenKillPlatform(HANDLE token) : token_(token) {}
    std::uint32_t setDebugPrivilege(bool enable) override {
        return setPrivilege(token_, debugPrivilege, enable) ? 0 : lastError();
    }
    std::uint32_t openProcess(std::uint32_t processId) override {
        process_.reset(OpenProcess(processRights, FALSE, processId));
        return process_ ? 0 : lastError();
    }
    std::uint32_t terminateProcess() override {
        return TerminateProcess(process_.get(), 0) ? 0 : lastError();
    }
    void waitForEnd(std::uint32_t ms) override { WaitForSingleObject(process_.get(), ms); }
    void closeProcess() override { process_.reset(); }

private:
    // A failed lookup may leave no error code; the failure must still count.
    static std::uint32_t lastError() {
        DWORD error = GetLastError();
        return error ? error : ERROR_GEN_FAILURE;
    }
    HANDLE token_;
    Plinth::UniqueHandleObject process_;
};

} // namespace

bool askSafetyQuestion(CommandHost& host, unsigned question) {
    return Plinth::showMessageBox(host.window(), Plinth::loadString(question),
                                  Plinth::loadString(safetyCaption), safetyStyle) == IDYES;
}

void removeSelected(CommandHost& host) {
    if (!askSafetyQuestion(host, removeQuestion)) {
        return;
    }
    StatusReport report = statusReportOf(host);
    int removed =
        forEachSelected(host, report, [](ScmConnection& connection, const std::string& name) {
            if (!DeleteService(connection.openService(name, serviceRight::remove))) {
                throw Plinth::LWE();
            }
        });
    finish(host, report, removed, countText(removedSummary, removed));
}

void setStartTypeSelected(CommandHost& host, DWORD startType) {
    if (!askSafetyQuestion(host, startTypeQuestion)) {
        return;
    }
    StatusReport report = statusReportOf(host);
    int changed = forEachSelected(
        host, report, [startType](ScmConnection& connection, const std::string& name) {
            SC_HANDLE service = connection.openService(name, serviceRight::changeConfig);
            if (!ChangeServiceConfigA(service, SERVICE_NO_CHANGE, startType, SERVICE_NO_CHANGE,
                                      nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                      nullptr)) {
                throw Plinth::LWE();
            }
        });
    finish(host, report, changed, countText(startTypeSummary, changed));
}

void killSelected(CommandHost& host) {
    // A process id of another computer names some process of this one.
    if (!host.hostIsLocal()) {
        host.writeStatus(Plinth::loadString(IDS_KILL_ONLY_LOCAL));
        return;
    }
    if (!askSafetyQuestion(host, killQuestion)) {
        return;
    }
    StatusReport report = statusReportOf(host);
    std::vector<std::string> processIds;
    for (const ServiceEntry& entry : host.selectedEntries()) {
        processIds.push_back(entry.pidText.str());
    }
    int killed = 0;
    {
        ThreadToken token;
        TokenKillPlatform platform(token.get());
        WaitCursor cursor;
        killed = killProcesses(platform, processIds, report.failureWriter());
    }
    finish(host, report, killed, countText(killed == 1 ? killedOneSummary : killedSummary, killed));
}

bool setPrivilege(HANDLE token, const char* name, bool enable) {
    TOKEN_PRIVILEGES privileges{};
    if (!LookupPrivilegeValueA(nullptr, name, &privileges.Privileges[0].Luid)) {
        return false;
    }
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
    return AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) != FALSE;
}

} // namespace kelvane
