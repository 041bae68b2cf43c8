#include "framework/win/CriticalSection.h"

namespace Plinth {

CriticalSection& globalLock() {
    static CriticalSection lock;
    return lock;
}

} // namespace Plinth
