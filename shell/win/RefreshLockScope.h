#pragma once
// Holds the main window's refresh lock, entered while the window keeps
// serving its messages; false when the application is asked to quit
// meanwhile.
#include "framework/win/CriticalSection.h"
#include "framework/win/DispatchingWaits.h"

namespace kelvane {

class RefreshLockScope {
public:
    explicit RefreshLockScope(Plinth::CriticalSection& lock)
        : lock_(lock), held_(Plinth::enterLockDispatching(lock)) {}
    ~RefreshLockScope() {
        if (held_) {
            lock_.leave();
        }
    }
    RefreshLockScope(const RefreshLockScope&) = delete;
    RefreshLockScope& operator=(const RefreshLockScope&) = delete;
    explicit operator bool() const { return held_; }

private:
    Plinth::CriticalSection& lock_;
    bool held_;
};

} // namespace kelvane
