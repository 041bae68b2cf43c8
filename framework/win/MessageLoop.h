#pragma once
// The message loop of a thread. Its level counts the quit messages taken on
// that thread: a wait or a nested loop that sees the level change knows the
// thread is asked to end and unwinds, so one quit ends every enclosing wait.
#include <windows.h>

#include <atomic>
#include <functional>
#include <vector>

namespace Plinth {

class MessageLoop {
public:
    // Offered each message first; true means the filter handled it.
    using Filter = bool (*)(void* context, MSG& message);

    MessageLoop();
    ~MessageLoop();
    MessageLoop(const MessageLoop&) = delete;
    MessageLoop& operator=(const MessageLoop&) = delete;

    // The calling thread's loop: its own when it has one, else the main
    // thread's, which is process-wide.
    static MessageLoop& current();
    static MessageLoop& mainLoop();
    // Makes loop the calling thread's own (null: none again).
    static void setCurrent(MessageLoop* loop);

    void addFilter(void* context, Filter filter);
    void removeFilter(void* context, Filter filter);

    int level() const { return level_.load(); }
    // A quit message was taken on this loop's thread.
    void quitTaken(WPARAM code);

    // Filters, keyboard handler, translation and dispatch, each under its
    // own guard so a failure is reported and the loop goes on.
    void dispatch(MSG& message);

    // Until a quit message arrives or the level changes; the result is the
    // quit message's parameter.
    int run();

    // Wakes the thread out of a wait for messages: posts it a null message,
    // sets the wake event and calls the wake callback when there are some.
    void wake();
    void setWakeEvent(HANDLE event) { wakeEvent_ = event; }
    void setWakeCallback(std::function<void()> callback) { wakeCallback_ = std::move(callback); }

    // The framework windows' keyboard handling (accelerators, dialog keys);
    // true means the key was consumed. Process-wide.
    static void setKeyboardHandler(std::function<bool(MSG&)> handler);
    // Asked on the main thread when its loop ends; true keeps it running
    // (framework windows still open).
    static void setShutdownCheck(std::function<bool()> keepRunning);

private:
    struct FilterEntry {
        void* context;
        Filter filter;
    };
    std::vector<FilterEntry> filters_;
    std::atomic<int> level_{0};
    WPARAM quitCode_ = 0;
    DWORD threadId_;
    HANDLE wakeEvent_ = nullptr;
    std::function<void()> wakeCallback_;
};

// The loop of the calling thread.
int runLoop();

} // namespace Plinth
