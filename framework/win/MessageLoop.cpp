#include "framework/win/MessageLoop.h"

#include "framework/win/CriticalSection.h"
#include "framework/win/Reports.h"

#include <algorithm>

namespace Plinth {

namespace {

thread_local MessageLoop* threadLoop = nullptr;

std::function<bool(MSG&)>& keyboardHandler() {
    static std::function<bool(MSG&)> handler;
    return handler;
}

std::function<bool()>& shutdownCheck() {
    static std::function<bool()> check;
    return check;
}

// Made during static initialisation, so on the main thread.
MessageLoop theMainLoop;
const DWORD mainThreadId = GetCurrentThreadId();

} // namespace

MessageLoop::MessageLoop() : threadId_(GetCurrentThreadId()) {}

MessageLoop::~MessageLoop() {
    if (threadLoop == this) {
        threadLoop = nullptr;
    }
}

MessageLoop& MessageLoop::current() {
    return threadLoop ? *threadLoop : theMainLoop;
}

MessageLoop& MessageLoop::mainLoop() {
    return theMainLoop;
}

void MessageLoop::setCurrent(MessageLoop* loop) {
    if (loop) {
        loop->threadId_ = GetCurrentThreadId();
    }
    threadLoop = loop;
}

void MessageLoop::addFilter(void* context, Filter filter) {
    filters_.push_back({context, filter});
}

void MessageLoop::removeFilter(void* context, Filter filter) {
    filters_.erase(std::remove_if(filters_.begin(), filters_.end(),
                                  [&](const FilterEntry& entry) {
                                      return entry.context == context && entry.filter == filter;
                                  }),
                   filters_.end());
}

void MessageLoop::quitTaken(WPARAM code) {
    quitCode_ = code;
    ++level_;
}

void MessageLoop::dispatch(MSG& message) {
    HWND paintWindow = message.message == WM_PAINT ? message.hwnd : nullptr;
    bool handled = false;
    guardCall(
        [&] {
            // A filter may remove itself while it runs: offer a copy.
            std::vector<FilterEntry> filters = filters_;
            for (const FilterEntry& entry : filters) {
                if (entry.filter(entry.context, message)) {
                    handled = true;
                    return;
                }
            }
        },
        nullptr, paintWindow);
    if (handled) {
        return;
    }
    const UINT kind = message.message;
    if (kind == WM_KEYDOWN || kind == WM_KEYUP || kind == WM_SYSKEYDOWN || kind == WM_SYSKEYUP) {
        guardCall(
            [&] {
                if ((kind == WM_KEYDOWN || kind == WM_SYSKEYUP) && keyboardHandler() &&
                    keyboardHandler()(message)) {
                    handled = true;
                    return;
                }
                TranslateMessage(&message);
            },
            nullptr, paintWindow);
        if (handled) {
            return;
        }
    }
    guardCall([&] { DispatchMessageA(&message); }, nullptr, paintWindow);
}

int MessageLoop::run() {
    for (;;) {
        const int start = level();
        MSG message;
        while (level() == start) {
            BOOL got = GetMessageA(&message, nullptr, 0, 0);
            if (got == 0 || got == -1) {
                quitTaken(got == 0 ? message.wParam : 0);
                break;
            }
            dispatch(message);
        }
        if (GetCurrentThreadId() == mainThreadId && shutdownCheck() && shutdownCheck()()) {
            continue;
        }
        return static_cast<int>(quitCode_);
    }
}

void MessageLoop::wake() {
    if (wakeEvent_) {
        SetEvent(wakeEvent_);
    }
    if (wakeCallback_) {
        wakeCallback_();
    }
    PostThreadMessageA(threadId_, WM_NULL, 0, 0);
}

void MessageLoop::setKeyboardHandler(std::function<bool(MSG&)> handler) {
    keyboardHandler() = std::move(handler);
}

void MessageLoop::setShutdownCheck(std::function<bool()> keepRunning) {
    shutdownCheck() = std::move(keepRunning);
}

int runLoop() {
    return MessageLoop::current().run();
}

} // namespace Plinth
