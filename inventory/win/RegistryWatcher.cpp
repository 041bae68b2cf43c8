#include "inventory/win/RegistryWatcher.h"

namespace kelvane {

RegistryWatcher::RegistryWatcher(HKEY key, HWND window, UINT message, bool watchSubtree,
                                 DWORD filter)
    : WorkerThread("RegWatcherThread", &wake), window_(window), message_(message), key_(key),
      watchSubtree_(watchSubtree), filter_(filter) {
    start();
}

RegistryWatcher::~RegistryWatcher() {
    stop(JoinBlocking, INFINITE);
}

bool RegistryWatcher::arm() {
    return RegNotifyChangeKeyValue(key_, watchSubtree_, filter_, changeEvent.get(), TRUE) ==
           ERROR_SUCCESS;
}

std::int32_t RegistryWatcher::run() {
    if (!arm()) {
        return -1;
    }
    HANDLE events[] = {changeEvent.get(), wake.get()};
    while (stopRequests() == 0) {
        DWORD woken = WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (woken == WAIT_OBJECT_0) {
            // Armed again before the window hears of it: a change made while
            // its refresh runs then signals anew instead of going unseen.
            bool armed = arm();
            PostMessageA(window_.load(), message_, 0, 0);
            if (!armed) {
                return -1;
            }
        } else if (woken != WAIT_OBJECT_0 + 1) {
            return -1;
        }
    }
    return 0;
}

} // namespace kelvane
