#pragma once
// The texts of the report boxes and the bookkeeping that keeps one report on
// screen at a time. Portable: the boxes themselves are shown by win/Reports.
#include "framework/ComError.h"
#include "framework/Exception.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>

namespace Plinth {

// The text of the report box for an exception: the framework module's
// heading and context line when the module is there, else the built-in
// German sentence, whatever the user-interface language.
std::string buildReport(const Exception& exception);
std::string buildStdReport(const char* description);
std::string buildComReport(const ComError& error);

// The continue answers given for repairable faults, by fault address.
class ContinueAnswers {
public:
    bool continueChosen(uint64_t address) const;
    void record(uint64_t address, bool continueChosen);
    void clear() { answers_.clear(); }

private:
    std::map<uint64_t, bool> answers_;
};

// Process-wide state of the reports and the fault handler.
struct ReportState {
    std::recursive_mutex lock;
    int nesting = 0;         // reports and faults being handled; guarded by lock
    ContinueAnswers answers; // guarded by lock
    std::atomic<int> shutdown{0};
};

ReportState& reportState();

// Raised when the main thread begins to end the application; while it is
// above 0 no report box appears.
void enterShutdown();
void leaveShutdown();
bool shuttingDown();

// Calls show unless the application is shutting down or another report is
// being handled (in any thread), in which case the report is dropped. The
// lock is held only to count: a box that waits for the user does not keep
// the other threads waiting for the lock. True when show was called.
bool runReport(ReportState& state, const std::function<void()>& show);

} // namespace Plinth
