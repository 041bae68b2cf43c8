#pragma once
// A re-entrant lock of the platform (a critical section) with its owner and
// guard, so no code enters one without leaving it on every path.
#include <windows.h>

namespace Plinth {

class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&section_); }
    ~CriticalSection() { DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void enter() { EnterCriticalSection(&section_); }
    bool tryEnter() { return TryEnterCriticalSection(&section_) != FALSE; }
    void leave() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

class CriticalSectionGuard {
public:
    explicit CriticalSectionGuard(CriticalSection& lock) : lock_(lock) { lock_.enter(); }
    ~CriticalSectionGuard() { lock_.leave(); }
    CriticalSectionGuard(const CriticalSectionGuard&) = delete;
    CriticalSectionGuard& operator=(const CriticalSectionGuard&) = delete;

private:
    CriticalSection& lock_;
};

// The framework's one global lock: guards what threads share with the
// framework itself, such as a worker's pointer to its message loop.
CriticalSection& globalLock();

} // namespace Plinth
