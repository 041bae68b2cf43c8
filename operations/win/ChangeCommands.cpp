#include "operations/win/ChangeCommands.h"

#include "framework/Exception.h"
#include "framework/TextFormat.h"
#include "framework/win/MessageBoxes.h"
#include "framework/win/ModuleResources.h"
#include "framework/win/UniqueHandle.h"
#include "operations/ServiceControl.h"
#include "operations/win/ScmConnection.h"
#include "operations/win/WaitCursor.h"

#include <cstdlib>
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
constexpr DWORD terminationWaitMs = 3000;
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

// The debugging privilege for one termination: disabled again however the
// termination ends.
class DebugPrivilege {
public:
    explicit DebugPrivilege(HANDLE token) : token_(token) {
        if (!setPrivilege(token_, debugPrivilege, true)) {
            throw Plinth::LWE();
        }
    }
    ~DebugPrivilege() { setPrivilege(token_, debugPrivilege, false); }
    DebugPrivilege(const DebugPrivilege&) = delete;
    DebugPrivilege& operator=(const DebugPrivilege&) = delete;

private:
    HANDLE token_;
};

void killProcess(HANDLE token, DWORD processId) {
    DebugPrivilege privilege(token);
    Plinth::UniqueHandleObject process(OpenProcess(processRights, FALSE, processId));
    if (!process) {
        throw Plinth::LWE();
    }
    // A refused termination is a failure: the process still runs.
    if (!TerminateProcess(process.get(), 0)) {
        throw Plinth::LWE();
    }
    WaitForSingleObject(process.get(), terminationWaitMs);
}

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
    int killed = 0;
    {
        ThreadToken token;
        for (const ServiceEntry& entry : host.selectedEntries()) {
            WaitCursor cursor;
            try {
                // A service that does not run has no process id: 0, which
                // the platform refuses.
                killProcess(token.get(), std::strtoul(entry.pidText.c_str(), nullptr, 10));
                ++killed;
            } catch (const Plinth::Exception& e) {
                host.writeStatus(e.getMessage());
            }
        }
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
