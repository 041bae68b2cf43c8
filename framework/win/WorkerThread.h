#pragma once
// The base of every background activity. The thread is created suspended at
// construction and resumed by start; the owner stops it with stop in its
// destructor. A body waits on its own events and the wake event, leaves its
// loop when stopRequests is not 0 and otherwise does one piece of work.
#include "framework/win/UniqueHandle.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>

namespace Plinth {

class MessageLoop;

class WorkerThread {
public:
    // Returned by exit, asks the thread procedure to delete the object.
    static constexpr int32_t deleteOnExit = static_cast<int32_t>(0xFFFF2112u);

    enum JoinMode { NoJoin = 0, JoinBlocking = 1, JoinDispatching = 2 };

    // wakeEvent: an auto-reset event the subclass owns (may be null); it may
    // be made after this constructor has run.
    WorkerThread(const char* name, UniqueHandleObject* wakeEvent);
    virtual ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Runs first on the new thread; -1 means the body is not to run.
    virtual int32_t init();
    // The body; its result is the thread's result.
    virtual int32_t run() = 0;
    // Counts the request, keeps the code and wakes a body blocked on the
    // wake event.
    virtual int32_t requestStop(int32_t code);
    // Runs last on the thread with the result of run.
    virtual int32_t exit(int32_t result);

    void start();
    // Requests the stop and joins: NoJoin returns at once, JoinBlocking waits
    // for the thread, JoinDispatching waits while dispatching messages. On
    // the worker's own thread, and before start, it never waits. The result
    // is the wait's result (WAIT_OBJECT_0 once the thread has ended).
    int stop(int joinMode, DWORD timeoutMs = INFINITE, int32_t code = 0);

    // Stops the worker and waits for its thread at most timeoutMs. A thread
    // that is still running then (a call that hangs in the platform) is left
    // to end by itself and takes the object with it: it is deleted when its
    // body returns. Only for workers whose body, once stopped, touches
    // nothing of their owner's. True when the thread had ended.
    static bool stopWithin(std::unique_ptr<WorkerThread> worker, DWORD timeoutMs);

    const char* name() const { return name_; }
    uint32_t stopRequests() const { return stopRequests_.load(); }
    int32_t exitCode() const { return exitCode_.load(); }
    HANDLE handle() const { return handle_.get(); }
    DWORD threadId() const { return threadId_; }

private:
    static DWORD WINAPI procedure(void* self);

    const char* name_;
    std::atomic<uint32_t> stopRequests_{0};
    std::atomic<int32_t> exitCode_{0};
    std::atomic<uint32_t> stopping_{0};
    UniqueHandleObject handle_;
    DWORD threadId_ = 0;
    MessageLoop* loop_ = nullptr; // guarded by globalLock()
    const UniqueHandleObject* wakeEvent_;
    bool started_ = false;
    // Who deletes the object: its owner, or its thread once abandoned.
    enum Ownership { ownedByCaller, abandoned, bodyEnded };
    std::atomic<int> ownership_{ownedByCaller};
};

} // namespace Plinth
