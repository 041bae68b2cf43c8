#include "framework/win/DispatchingWaits.h"

#include "framework/win/MessageLoop.h"

namespace Plinth {

namespace {

// Also wakes for messages already queued that an earlier look saw but left,
// which the plain wait would sleep through.
DWORD waitForInput(DWORD count, const HANDLE* handles, bool waitAll, DWORD timeoutMs) {
    return MsgWaitForMultipleObjectsEx(count, handles, timeoutMs, QS_ALLINPUT,
                                       MWMO_INPUTAVAILABLE | (waitAll ? MWMO_WAITALL : 0));
}

} // namespace

int waitForObjects(DWORD count, const HANDLE* handles, bool waitAll, DWORD timeoutMs) {
    MessageLoop& loop = MessageLoop::current();
    const int start = loop.level();
    for (;;) {
        DWORD result = waitForInput(count, handles, waitAll, timeoutMs);
        if (result != WAIT_OBJECT_0 + count) {
            return static_cast<int>(result);
        }
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                loop.quitTaken(message.wParam);
                return -1;
            }
            loop.dispatch(message);
            if (loop.level() != start) {
                return -1;
            }
        }
    }
}

int sleepDispatching(DWORD ms) {
    MessageLoop& loop = MessageLoop::current();
    if (ms == INFINITE) {
        loop.run();
        return -1;
    }
    const int start = loop.level();
    const DWORD begin = GetTickCount();
    for (;;) {
        const DWORD passed = GetTickCount() - begin;
        if (passed >= ms) {
            return 1;
        }
        waitForInput(0, nullptr, false, ms - passed);
        MSG message;
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            continue;
        }
        if (message.message == WM_QUIT) {
            loop.quitTaken(message.wParam);
            return -1;
        }
        loop.dispatch(message);
        if (loop.level() != start) {
            return 0;
        }
    }
}

bool enterLockDispatching(CriticalSection& lock) {
    const int start = MessageLoop::current().level();
    for (;;) {
        if (lock.tryEnter()) {
            return true;
        }
        if (sleepDispatching(100) == -1 || MessageLoop::current().level() != start) {
            return false;
        }
    }
}

} // namespace Plinth
