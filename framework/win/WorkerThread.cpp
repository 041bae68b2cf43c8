#include "framework/win/WorkerThread.h"

#include "framework/Exception.h"
#include "framework/win/CriticalSection.h"
#include "framework/win/DispatchingWaits.h"
#include "framework/win/MessageLoop.h"
#include "framework/win/Reports.h"
#include "framework/win/UiLocale.h"

namespace Plinth {

WorkerThread::WorkerThread(const char* name, UniqueHandleObject* wakeEvent)
    : name_(name), wakeEvent_(wakeEvent) {
    handle_.reset(
        CreateThread(nullptr, 0, &WorkerThread::procedure, this, CREATE_SUSPENDED, &threadId_));
    if (!handle_) {
        throw LWE();
    }
}

WorkerThread::~WorkerThread() {
    // A thread that never ran would otherwise stay suspended for ever with a
    // pointer to an object that is gone.
    if (!started_ && handle_) {
        TerminateThread(handle_.get(), 0);
    }
}

int32_t WorkerThread::init() {
    return 0;
}

int32_t WorkerThread::requestStop(int32_t code) {
    exitCode_ = code;
    ++stopRequests_;
    if (wakeEvent_ && *wakeEvent_) {
        SetEvent(wakeEvent_->get());
    }
    return 0;
}

int32_t WorkerThread::exit(int32_t result) {
    return result;
}

void WorkerThread::start() {
    if (!started_) {
        started_ = true;
        ResumeThread(handle_.get());
    }
}

int WorkerThread::stop(int joinMode, DWORD timeoutMs, int32_t code) {
    ++stopping_;
    {
        CriticalSectionGuard guard(globalLock());
        if (loop_) {
            loop_->wake();
        }
    }
    requestStop(code);
    if (joinMode == NoJoin || !started_ || GetCurrentThreadId() == threadId_) {
        return static_cast<int>(WAIT_TIMEOUT);
    }
    HANDLE thread = handle_.get();
    if (joinMode == JoinDispatching) {
        return waitForObjects(1, &thread, false, timeoutMs);
    }
    return static_cast<int>(WaitForSingleObject(thread, timeoutMs));
}

bool WorkerThread::stopWithin(std::unique_ptr<WorkerThread> worker, DWORD timeoutMs) {
    if (!worker) {
        return true;
    }
    if (!worker->started_ ||
        worker->stop(JoinBlocking, timeoutMs) == static_cast<int>(WAIT_OBJECT_0)) {
        return true;
    }
    int expected = ownedByCaller;
    if (worker->ownership_.compare_exchange_strong(expected, abandoned)) {
        worker.release(); // deleted by its thread
        return false;
    }
    // The body ended meanwhile and its thread no longer touches the object.
    return true;
}

DWORD WINAPI WorkerThread::procedure(void* parameter) {
    auto* self = static_cast<WorkerThread*>(parameter);
    applyUiLocaleToThread();
    MessageLoop loop;
    MessageLoop::setCurrent(&loop);
    {
        CriticalSectionGuard guard(globalLock());
        self->loop_ = &loop;
    }
    auto leaveLoop = [&] {
        CriticalSectionGuard guard(globalLock());
        self->loop_ = nullptr;
    };

    int32_t result = -1;
    if (guardCall([&] { result = self->init(); }) != GuardResult::Done || result == -1) {
        leaveLoop();
        MessageLoop::setCurrent(nullptr);
        if (self->ownership_.exchange(bodyEnded) == abandoned) {
            delete self;
        }
        return static_cast<DWORD>(-1);
    }
    result = -1;
    if (guardCall([&] { result = self->run(); }) != GuardResult::Done) {
        result = -1;
    }
    int32_t ending = 0;
    if (guardCall([&] { ending = self->exit(result); }) != GuardResult::Done) {
        ending = 0;
    }
    leaveLoop();
    MessageLoop::setCurrent(nullptr);
    // After this exchange the owner may delete the object at any moment.
    const bool ownerLeftIt = self->ownership_.exchange(bodyEnded) == abandoned;
    if (ending == deleteOnExit || ownerLeftIt) {
        delete self;
    }
    return static_cast<DWORD>(result);
}

} // namespace Plinth
