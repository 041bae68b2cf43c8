#pragma once
// Waits of a thread that has windows: they keep dispatching its messages so
// the windows stay responsive, and a quit message ends them (and, through
// the loop's level, every wait and loop around them).
#include "framework/win/CriticalSection.h"

#include <windows.h>

namespace Plinth {

// The platform's wait result, or -1 when a quit message arrived (or a
// nested loop took one).
int waitForObjects(DWORD count, const HANDLE* handles, bool waitAll, DWORD timeoutMs);

// 1 when ms have passed, -1 when a quit message arrived, 0 when a loop
// nested in a dispatched message took a quit message. INFINITE runs the
// thread's message loop.
int sleepDispatching(DWORD ms);

// True when the lock is held (re-entering it on the thread that holds it
// succeeds at once), false when a quit message arrived while waiting; the
// lock is then not held.
bool enterLockDispatching(CriticalSection& lock);

} // namespace Plinth
