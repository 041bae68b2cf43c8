#include "framework/win/MessageLoop.h"

#include "framework/Exception.h"

#include <exception>
#include <string>

namespace Plinth {

namespace {

FailureReporter& failureReporter() {
    static FailureReporter reporter;
    return reporter;
}

bool isKeyMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
           message == WM_SYSKEYUP;
}

// Runs one step of the dispatch; what escapes it is reported and the loop
// goes on.
template <typename Step> bool guarded(const MSG& message, Step step) {
    try {
        return step();
    } catch (...) {
        if (message.message == WM_PAINT && message.hwnd) {
            // Otherwise the window asks to be painted again at once.
            ValidateRect(message.hwnd, nullptr);
        }
        reportCurrentFailure("dispatching a window message");
        return false;
    }
}

} // namespace

void setFailureReporter(FailureReporter reporter) {
    failureReporter() = std::move(reporter);
}

void reportCurrentFailure(const char* where) {
    if (failureReporter()) {
        failureReporter()(where);
        return;
    }
    std::string text = std::string("Kelvane: failure while ") + where;
    try {
        throw;
    } catch (const Exception& e) {
        text += ": " + e.getMessage();
    } catch (const std::exception& e) {
        text += std::string(": ") + e.what();
    } catch (...) {
    }
    OutputDebugStringA((text + "\n").c_str());
}

MessageLoop::MessageLoop() : threadId_(GetCurrentThreadId()) {}

MessageLoop& MessageLoop::current() {
    thread_local MessageLoop loop;
    return loop;
}

void MessageLoop::addFilter(void* owner, Filter filter) {
    filters_.push_back({owner, std::move(filter)});
}

void MessageLoop::removeFilters(void* owner) {
    std::vector<FilterEntry> kept;
    for (FilterEntry& entry : filters_) {
        if (entry.owner != owner) {
            kept.push_back(std::move(entry));
        }
    }
    filters_.swap(kept);
}

void MessageLoop::dispatch(MSG& message) {
    // A filter may remove filters while it runs: walk a copy.
    std::vector<FilterEntry> filters = filters_;
    bool taken = guarded(message, [&] {
        for (FilterEntry& entry : filters) {
            if (entry.filter(message)) {
                return true;
            }
        }
        return false;
    });
    if (taken) {
        return;
    }
    if (isKeyMessage(message.message)) {
        guarded(message, [&] {
            TranslateMessage(&message);
            return true;
        });
    }
    guarded(message, [&] {
        DispatchMessageA(&message);
        return true;
    });
}

int MessageLoop::runLoop() {
    const int startLevel = level_;
    MSG message = {};
    while (level_ == startLevel) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            ++level_;
            break;
        }
        dispatch(message);
    }
    return static_cast<int>(message.wParam);
}

void MessageLoop::wake() const {
    PostThreadMessageA(threadId_, WM_NULL, 0, 0);
}

DWORD waitForObjects(DWORD count, const HANDLE* handles, bool waitAll, DWORD timeoutMs) {
    MessageLoop& loop = MessageLoop::current();
    const int startLevel = loop.level();
    for (;;) {
        DWORD result = MsgWaitForMultipleObjects(count, handles, waitAll ? TRUE : FALSE, timeoutMs,
                                                 QS_ALLINPUT);
        if (result != WAIT_OBJECT_0 + count) {
            return result;
        }
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                loop.quitTaken();
                // Leave it for the enclosing loops, which end as well.
                PostQuitMessage(static_cast<int>(message.wParam));
                return static_cast<DWORD>(-1);
            }
            loop.dispatch(message);
            if (loop.level() != startLevel) {
                return static_cast<DWORD>(-1);
            }
        }
    }
}

int sleepDispatching(DWORD ms) {
    MessageLoop& loop = MessageLoop::current();
    if (ms == INFINITE) {
        return loop.runLoop();
    }
    const int startLevel = loop.level();
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD passed = GetTickCount() - start;
        if (passed >= ms) {
            return 1;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - passed, QS_ALLINPUT);
        MSG message;
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            continue;
        }
        if (message.message == WM_QUIT) {
            loop.quitTaken();
            PostQuitMessage(static_cast<int>(message.wParam));
            return -1;
        }
        loop.dispatch(message);
        if (loop.level() != startLevel) {
            return static_cast<int>(message.wParam);
        }
    }
}

bool enterLockDispatching(CriticalSection& lock) {
    MessageLoop& loop = MessageLoop::current();
    const int startLevel = loop.level();
    while (!lock.tryEnter()) {
        if (sleepDispatching(100) == -1 || loop.level() != startLevel) {
            return false;
        }
    }
    return true;
}

} // namespace Plinth
