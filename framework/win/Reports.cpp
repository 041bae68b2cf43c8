#include "framework/win/Reports.h"

#include "framework/FailureReport.h"
#include "framework/FaultDecision.h"
#include "framework/win/MessageBoxes.h"

#include <new>

namespace Plinth {

namespace {

thread_local HWND mainWindowOfThread = nullptr;
// How many more faults during a report this thread may survive by running
// the handler before the process is ended.
thread_local int faultAllowanceOfThread = 1;

LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
bool filterInstalled = false;

HWND ownerOrMainWindow(HWND owner) {
    return owner ? owner : mainWindowOfThread;
}

void showReportBox(HWND owner, const std::function<std::string()>& text, const char* caption) {
    runReport(reportState(),
              [&] { showMessageBox(ownerOrMainWindow(owner), text(), caption, reportBoxStyle); });
}

class PlatformFaultHost : public FaultHost {
public:
    PlatformFaultHost(CONTEXT* context, HWND owner) : context_(context), owner_(owner) {}

    int showBox(const std::string& text, const std::string& caption, unsigned style) override {
        return showMessageBox(ownerOrMainWindow(owner_), text, caption, style);
    }
    void pause(unsigned ms) override { Sleep(ms); }
    void endProcess(int exitCode) override { ExitProcess(static_cast<UINT>(exitCode)); }
    void clearFloatingPointFlags() override {
        if (!context_) {
            return;
        }
        // The six exception flags and the summary bits of the x87 status
        // word, and the flags of the SSE control word.
#ifdef _WIN64
        context_->FltSave.StatusWord &= static_cast<WORD>(~0x00FFu);
        context_->MxCsr &= ~0x3Fu;
#else
        context_->FloatSave.StatusWord &= ~0x00FFu;
#endif
    }
    int& faultAllowance() override {
        return faultAllowanceOfThread;
    }

private:
    CONTEXT* context_;
    HWND owner_;
};

int reportFaultFrom(EXCEPTION_POINTERS* pointers, HWND owner, bool viaProcessFilter) {
    const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
    FaultRecord fault;
    fault.code = record->ExceptionCode;
    fault.flags = record->ExceptionFlags;
    fault.address = reinterpret_cast<uintptr_t>(record->ExceptionAddress);
    for (DWORD i = 0; i < record->NumberParameters && i < EXCEPTION_MAXIMUM_PARAMETERS; ++i) {
        fault.parameters.push_back(record->ExceptionInformation[i]);
    }
    fault.viaProcessFilter = viaProcessFilter;
    PlatformFaultHost host(pointers->ContextRecord, owner);
    return decideFault(fault, host, reportState());
}

LONG WINAPI processFaultFilter(EXCEPTION_POINTERS* pointers) {
    int result = reportFaultFrom(pointers, nullptr, true);
    if (result == SearchOn && previousFilter) {
        return previousFilter(pointers);
    }
    return result;
}

thread_local bool inOutOfMemory = false;

void outOfMemory() {
    // Making the exception may allocate itself; a second failure inside
    // must not come back here.
    if (inOutOfMemory) {
        throw std::bad_alloc();
    }
    inOutOfMemory = true;
    struct Reset {
        ~Reset() { inOutOfMemory = false; }
    } reset;
    throw SDKException(ERROR_OUTOFMEMORY); // 14
}

} // namespace

void showException(const Exception& exception, HWND owner) {
    showReportBox(
        owner, [&] { return buildReport(exception); }, "Exception");
}

void showComError(const ComError& error, HWND owner) {
    showReportBox(
        owner, [&] { return buildComReport(error); }, "COM Exception");
}

void showStdException(const std::exception& error, HWND owner) {
    showReportBox(
        owner, [&] { return buildStdReport(error.what()); }, "Exception");
}

void setThreadMainWindow(HWND window) {
    mainWindowOfThread = window;
}

HWND threadMainWindow() {
    return mainWindowOfThread;
}

void installErrorHandlers(bool throwOnOutOfMemory) {
    if (!filterInstalled) {
        filterInstalled = true;
        previousFilter = SetUnhandledExceptionFilter(&processFaultFilter);
    }
    if (throwOnOutOfMemory) {
        std::set_new_handler(&outOfMemory);
    }
    // This compiler has no translator from structured exceptions to C++
    // exceptions; faults reach reportFault through the filter instead.
}

int reportFault(EXCEPTION_POINTERS* fault, HWND owner) {
    return reportFaultFrom(fault, owner, false);
}

} // namespace Plinth
