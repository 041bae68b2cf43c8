#include "operations/win/ChangeCommands.h"

#include "framework/Exception.h"
#include "framework/TextFormat.h"
#include "framework/win/MessageBoxes.h"
#include "framework/win/ModuleResources.h"
#include "framework/win/UniqueHandle.h"
#include "operations/ProcessKill.h"
#include "operations/ServiceControl.h"
#include "operations/win/ScmConnection.h"
#include "operations/win/WaitCursor.h"

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
// changed. A failure of one is written without the service's name.
int forEachSelected(CommandHost& host,
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
            host.writeStatus(e.getMessage());
        }
    }
    return changed;
}

void finish(CommandHost& host, int changed, const std::string& summary) {
    // With nothing changed the last failure stays readable.
    if (changed == 0) {
        return;
    }
    // The refresh clears the status line, so the summary comes after it.
    host.refreshList();
    host.writeStatus(summary);
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
    host.writeStatus({});
    int removed = forEachSelected(host, [](ScmConnection& connection, const std::string& name) {
        if (!DeleteService(connection.openService(name, serviceRight::remove))) {
            throw Plinth::LWE();
        }
    });
    finish(host, removed, countText(removedSummary, removed));
}

void setStartTypeSelected(CommandHost& host, DWORD startType) {
    if (!askSafetyQuestion(host, startTypeQuestion)) {
        return;
    }
    host.writeStatus({});
    int changed = forEachSelected(host, [startType](ScmConnection& connection,
                                                    const std::string& name) {
        SC_HANDLE service = connection.openService(name, serviceRight::changeConfig);
        if (!ChangeServiceConfigA(service, SERVICE_NO_CHANGE, startType, SERVICE_NO_CHANGE, nullptr,
                                  nullptr, nullptr, nullptr, nullptr, nullptr, nullptr)) {
            throw Plinth::LWE();
        }
    });
    finish(host, changed, countText(startTypeSummary, changed));
}

void killSelected(CommandHost& host) {
    if (!askSafetyQuestion(host, killQuestion)) {
        return;
    }
    host.writeStatus({});
    std::vector<std::string> processIds;
    for (const ServiceEntry& entry : host.selectedEntries()) {
        processIds.push_back(entry.pidText.str());
    }
    int killed = 0;
    {
        ThreadToken token;
        TokenKillPlatform platform(token.get());
        WaitCursor cursor;
        killed = killProcesses(platform, processIds,
                               [&host](const std::string& text) { host.writeStatus(text); });
    }
    finish(host, killed, countText(killed == 1 ? killedOneSummary : killedSummary, killed));
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
