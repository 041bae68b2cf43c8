#include "framework/win/WorkerThread.h"

#include "framework/Exception.h"
#include "framework/win/CriticalSection.h"
#include "framework/win/MessageLoop.h"
#include "framework/win/UiLocale.h"

namespace Plinth {

namespace {

// The framework's one global lock: guards the loop pointers of the threads.
CriticalSection& globalLock() {
    static CriticalSection lock;
    return lock;
}

// init and run: a break ends silently, anything else is reported; both give -1.
template <typename Call> std::int32_t guardedCall(Call call, const char* where) {
    try {
        return call();
    } catch (const BreakException&) {
        return -1;
    } catch (...) {
        reportCurrentFailure(where);
        return -1;
    }
}

} // namespace

WorkerThread::WorkerThread(const char* name, HANDLE wakeEvent)
    : name_(name), wakeEvent_(wakeEvent) {
    handle_ = CreateThread(nullptr, 0, threadProcedure, this, CREATE_SUSPENDED, &threadId_);
    if (!handle_) {
        throw LWE();
    }
}

WorkerThread::~WorkerThread() {
    if (handle_) {
        CloseHandle(handle_);
    }
}

void WorkerThread::start() {
    if (!started_) {
        started_ = true;
        ResumeThread(handle_);
    }
}

std::int32_t WorkerThread::requestStop(std::int32_t code) {
    exitCode_ = code;
    ++stopRequests_;
    if (wakeEvent_) {
        SetEvent(wakeEvent_);
    }
    return 0;
}

bool WorkerThread::stop(JoinMode mode, DWORD timeoutMs, std::int32_t code) {
    ++stopping_;
    {
        globalLock().enter();
        CriticalSectionHold hold(globalLock());
        if (loop_) {
            loop_->wake();
        }
    }
    requestStop(code);
    if (mode == noJoin || GetCurrentThreadId() == threadId_) {
        return mode == noJoin;
    }
    if (!started_) {
        // A thread that never ran must still end: let it run to its stop.
        start();
    }
    if (mode == joinBlocking) {
        return WaitForSingleObject(handle_, timeoutMs) == WAIT_OBJECT_0;
    }
    return waitForObjects(1, &handle_, false, timeoutMs) == WAIT_OBJECT_0;
}

DWORD WINAPI WorkerThread::threadProcedure(void* parameter) {
    auto self = static_cast<WorkerThread*>(parameter);
    applyUiLocaleToThread();
    {
        globalLock().enter();
        CriticalSectionHold hold(globalLock());
        self->loop_ = &MessageLoop::current();
    }
    std::int32_t result = guardedCall([self] { return self->init(); }, self->name_);
    if (result == -1) {
        globalLock().enter();
        CriticalSectionHold hold(globalLock());
        self->loop_ = nullptr;
        return static_cast<DWORD>(-1);
    }
    result = guardedCall([self] { return self->run(); }, self->name_);
    std::int32_t exitResult = self->exit(result);
    {
        globalLock().enter();
        CriticalSectionHold hold(globalLock());
        self->loop_ = nullptr;
    }
    if (exitResult == deleteOnExit) {
        delete self;
    }
    return static_cast<DWORD>(result);
}

} // namespace Plinth
