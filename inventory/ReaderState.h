#pragma once
// What the reader thread and the user-interface thread share: the reader's
// table with its new-data flag and error text under the reader's lock, and
// the busy flag, which is read without it.
#include "inventory/ServiceColumns.h"
#include "inventory/ServiceTable.h"

#include <atomic>
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

} // namespace kelvane
