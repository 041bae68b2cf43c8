// A service for tests: runs under the real service control manager and
// behaves as its arguments say, so tests can produce every state, wait hint
// and exit code the program must handle.
//
//   --accept=stop,pause,paramchange,shutdown   controls accepted (default: stop)
//   --start-ms=N --stop-ms=N --pause-ms=N --continue-ms=N
//                                   time spent in each pending state (default 0)
//   --wait-hint=N                   wait hint reported while pending (default 0)
//   --step-ms=N                     checkpoint step while pending (default 100)
//   --exit-code=N                   Win32 exit code reported when stopped
//   --specific-code=N               service-specific code (Win32 code 1066)
//   --hang-stop                     stay stop pending for ever after a stop
//   --fail-start                    report stopped at once, with the exit codes
//   --crash-after-ms=N              fault N ms after running
#include "tools/kelvane-test-service/TestServiceOptions.h"

#include <windows.h>

#include <cstdio>
#include <mutex>
#include <string>

namespace {

TestServiceOptions options;
SERVICE_STATUS_HANDLE statusHandle = nullptr;
SERVICE_STATUS status{};
HANDLE wakeEvent = nullptr;
volatile LONG pendingControl = 0;

DWORD acceptedControls() {
    DWORD accepted = 0;
    if (options.acceptStop) {
        accepted |= SERVICE_ACCEPT_STOP;
    }
    if (options.acceptPause) {
        accepted |= SERVICE_ACCEPT_PAUSE_CONTINUE;
    }
    if (options.acceptParamChange) {
        accepted |= SERVICE_ACCEPT_PARAMCHANGE;
    }
    if (options.acceptShutdown) {
        accepted |= SERVICE_ACCEPT_SHUTDOWN;
    }
    return accepted;
}

// The control handler and the service's main thread both report.
std::mutex reportLock;

void report(DWORD state, DWORD checkPoint = 0) {
    std::lock_guard<std::mutex> guard(reportLock);
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING ||
                   state == SERVICE_PAUSE_PENDING || state == SERVICE_CONTINUE_PENDING;
    status.dwControlsAccepted = state == SERVICE_START_PENDING ? 0 : acceptedControls();
    status.dwCheckPoint = pending ? checkPoint : 0;
    status.dwWaitHint = pending ? options.waitHintMs : 0;
    if (state == SERVICE_STOPPED) {
        status.dwWin32ExitCode =
            options.specificCode ? ERROR_SERVICE_SPECIFIC_ERROR : options.exitCode;
        status.dwServiceSpecificExitCode = options.specificCode;
    } else {
        status.dwWin32ExitCode = NO_ERROR;
        status.dwServiceSpecificExitCode = 0;
    }
    SetServiceStatus(statusHandle, &status);
}

// Stays in a pending state for the given time, moving the checkpoint on.
void pendFor(DWORD state, DWORD ms) {
    DWORD checkPoint = 1;
    report(state, checkPoint);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        Sleep(options.stepMs);
        report(state, ++checkPoint);
    }
}

DWORD pendingStateFor(DWORD control) {
    return control == SERVICE_CONTROL_PAUSE      ? SERVICE_PAUSE_PENDING
           : control == SERVICE_CONTROL_CONTINUE ? SERVICE_CONTINUE_PENDING
                                                 : SERVICE_STOP_PENDING;
}

DWORD WINAPI controlHandler(DWORD control, DWORD, void*, void*) {
    switch (control) {
    case SERVICE_CONTROL_INTERROGATE: {
        std::lock_guard<std::mutex> guard(reportLock);
        SetServiceStatus(statusHandle, &status);
        return NO_ERROR;
    }
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
    case SERVICE_CONTROL_PAUSE:
    case SERVICE_CONTROL_CONTINUE:
        // As a well-behaved service does, the pending state is reported
        // before the handler returns, so the caller never reads the old
        // state as the settled one.
        report(pendingStateFor(control), 1);
        InterlockedExchange(&pendingControl, static_cast<LONG>(control));
        SetEvent(wakeEvent);
        return NO_ERROR;
    case SERVICE_CONTROL_PARAMCHANGE:
        InterlockedExchange(&pendingControl, static_cast<LONG>(control));
        SetEvent(wakeEvent);
        return NO_ERROR;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void crash() {
    volatile int* nowhere = nullptr;
    *nowhere = 1;
}

void WINAPI serviceMain(DWORD argc, char** argv) {
    const char* name = argc > 0 ? argv[0] : "";
    statusHandle = RegisterServiceCtrlHandlerExA(name, controlHandler, nullptr);
    if (!statusHandle) {
        return;
    }
    wakeEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (options.failStart) {
        report(SERVICE_STOPPED);
        return;
    }
    pendFor(SERVICE_START_PENDING, options.startMs);
    report(SERVICE_RUNNING);

    DWORD runningSince = GetTickCount();
    for (;;) {
        DWORD timeout = INFINITE;
        if (options.crashAfterMs) {
            DWORD elapsed = GetTickCount() - runningSince;
            timeout = elapsed >= options.crashAfterMs ? 0 : options.crashAfterMs - elapsed;
        }
        if (WaitForSingleObject(wakeEvent, timeout) == WAIT_TIMEOUT) {
            crash();
        }
        DWORD control = static_cast<DWORD>(InterlockedExchange(&pendingControl, 0));
        if (control == SERVICE_CONTROL_STOP || control == SERVICE_CONTROL_SHUTDOWN) {
            if (options.hangStop) {
                for (DWORD checkPoint = 1;; ++checkPoint) {
                    report(SERVICE_STOP_PENDING, checkPoint);
                    Sleep(options.stepMs);
                }
            }
            pendFor(SERVICE_STOP_PENDING, options.stopMs);
            report(SERVICE_STOPPED);
            return;
        }
        if (control == SERVICE_CONTROL_PAUSE) {
            pendFor(SERVICE_PAUSE_PENDING, options.pauseMs);
            report(SERVICE_PAUSED);
        } else if (control == SERVICE_CONTROL_CONTINUE) {
            pendFor(SERVICE_CONTINUE_PENDING, options.continueMs);
            report(SERVICE_RUNNING);
        } else if (control == SERVICE_CONTROL_PARAMCHANGE) {
            SetServiceStatus(statusHandle, &status);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    options = parseTestServiceOptions(argc - 1, argv + 1);
    static char anyName[] = "";
    SERVICE_TABLE_ENTRYA table[] = {{anyName, serviceMain}, {nullptr, nullptr}};
    if (!StartServiceCtrlDispatcherA(table)) {
        std::fprintf(stderr, "kelvane-test-service: not started as a service (error %lu)\n",
                     GetLastError());
        return 1;
    }
    return 0;
}
