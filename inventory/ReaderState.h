#pragma once
// What the reader thread and the user-interface thread share: the reader's
// table with its new-data flag and error text under the reader's lock, and
// the busy flag, which is read without it.
#include "inventory/ServiceColumns.h"
#include "inventory/ServiceTable.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>

namespace kelvane {

struct ReaderState {
    std::recursive_mutex lock;                       // the reader's lock
    ServiceTable table = ServiceColumns::newTable(); // the readerTable
    bool newData = false;
    std::string errorText;
    // Set by the window when it starts a read, cleared by the reader when
    // the read has ended.
    std::atomic<bool> busy{false};
};

// One read as the reader thread runs it: the error text is cleared, read
// runs, and whatever it throws becomes the error text; busy is cleared in
// every case, so the window's wait always ends. The caller signals done
// afterwards.
void runOneRead(ReaderState& state, const std::function<void()>& read);

} // namespace kelvane
