#pragma once
// The message loop of a thread and the waits that keep dispatching window
// messages, so the window stays responsive and a quit request ends them.
#include "framework/win/CriticalSection.h"

#include <windows.h>

#include <functional>
#include <vector>

namespace Plinth {

class MessageLoop {
public:
    // Offered each message first; true when it took the message (dialog
    // navigation, accelerators).
    using Filter = std::function<bool(MSG&)>;

    // The calling thread's loop: the main thread's is process-wide, any other
    // thread gets its own on first use.
    static MessageLoop& current();

    void addFilter(void* owner, Filter filter);
    void removeFilters(void* owner);

    // Runs until a quit message; returns its parameter. Each quit taken
    // raises the level, so every wait begun at a lower level ends too.
    int runLoop();
    int level() const { return level_; }

    // Filters, translation and dispatch of one message. Exceptions that
    // escape a handler are reported and the loop goes on.
    void dispatch(MSG& message);
    // Counts a quit message taken by a wait.
    void quitTaken() { ++level_; }

    // Wakes a loop that waits for messages (used by WorkerThread::stop).
    void wake() const;
    DWORD threadId() const { return threadId_; }

private:
    MessageLoop();
    struct FilterEntry {
        void* owner;
        Filter filter;
    };
    std::vector<FilterEntry> filters_;
    int level_ = 0;
    DWORD threadId_;
};

// MsgWaitForMultipleObjects that dispatches arriving messages: the wait's
// result, or -1 when a quit message arrived (or a nested loop took one).
DWORD waitForObjects(DWORD count, const HANDLE* handles, bool waitAll, DWORD timeoutMs);

// 1 when ms have passed, -1 when a quit message arrived; when a nested loop
// took the quit message meanwhile, returns at once with that message's
// parameter (look at the level). INFINITE runs the loop.
int sleepDispatching(DWORD ms);

// True once the lock is held; false when the application is quitting.
bool enterLockDispatching(CriticalSection& lock);

// How a failure escaping a message handler or a worker is shown; set by the
// failure reporting at start-up, a debugger line until then.
using FailureReporter = std::function<void(const char* where)>;
void setFailureReporter(FailureReporter reporter);
// Reports the exception being handled (call inside a catch block).
void reportCurrentFailure(const char* where);

} // namespace Plinth
