#pragma once
// The one class every background activity runs in: a platform thread made
// suspended, started on first use, stopped through a request that wakes it,
// and joined in one of three ways.
#include <windows.h>

#include <atomic>
#include <cstdint>

namespace Plinth {

class MessageLoop;

class WorkerThread {
public:
    // exit() returning this asks the thread procedure to delete the object.
    static constexpr std::int32_t deleteOnExit = static_cast<std::int32_t>(0xFFFF2112u);

    enum JoinMode { noJoin = 0, joinBlocking = 1, joinDispatching = 2 };

    // wakeEvent is the subclass's own auto-reset event (may be null); it is
    // set by requestStop so that a body blocked on it wakes up.
    WorkerThread(const char* name, HANDLE wakeEvent);
    virtual ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    void start();
    // Asks the thread to stop with code, then joins it by mode. Called on the
    // thread itself it never waits. True when the thread has ended (or no
    // join was asked for).
    bool stop(JoinMode mode, DWORD timeoutMs, std::int32_t code = 0);

    const char* name() const { return name_; }
    bool stopRequested() const { return stopRequests_.load() != 0; }
    std::int32_t exitCode() const { return exitCode_.load(); }
    HANDLE handle() const { return handle_; }
    DWORD threadId() const { return threadId_; }

protected:
    // Run first on the new thread; -1 means the body is not to run.
    virtual std::int32_t init() { return 0; }
    // The body; its result is the thread's result.
    virtual std::int32_t run() = 0;
    virtual std::int32_t requestStop(std::int32_t code);
    // Runs last with the result of run(); deleteOnExit frees the object.
    virtual std::int32_t exit(std::int32_t result) { return result; }

    HANDLE wakeEvent() const { return wakeEvent_; }

private:
    static DWORD WINAPI threadProcedure(void* self);

    const char* name_;
    std::atomic<std::uint32_t> stopRequests_{0};
    std::atomic<std::int32_t> exitCode_{0};
    std::atomic<std::uint32_t> stopping_{0};
    HANDLE handle_ = nullptr;
    DWORD threadId_ = 0;
    MessageLoop* loop_ = nullptr; // guarded by the framework's global lock
    HANDLE wakeEvent_;
    bool started_ = false;
};

} // namespace Plinth
