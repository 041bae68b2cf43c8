#pragma once
// A re-entrant lock of the platform: the thread that holds it may enter it
// again, which the refresh relies on when a message it dispatches asks for
// another refresh.
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

// Leaves the section at the end of the scope; made only after it was entered.
class CriticalSectionHold {
public:
    explicit CriticalSectionHold(CriticalSection& section) : section_(section) {}
    ~CriticalSectionHold() { section_.leave(); }
    CriticalSectionHold(const CriticalSectionHold&) = delete;
    CriticalSectionHold& operator=(const CriticalSectionHold&) = delete;

private:
    CriticalSection& section_;
};

} // namespace Plinth
