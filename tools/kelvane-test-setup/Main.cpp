// Stands for a new version's setup in the update tests: the build signs it
// in several ways, the tests serve it, and when the update starts it, it
// sets the event the test waits on.
#include <windows.h>

int main() {
    HANDLE started = OpenEventA(EVENT_MODIFY_STATE, FALSE, "kelvane-test-setup-started");
    if (!started) {
        return 1;
    }
    SetEvent(started);
    CloseHandle(started);
    return 0;
}
