#pragma once
// One read of every service and driver of a computer into the reader's
// table, as the reader thread runs it. The manager is opened by the caller
// (with connect and enumerate rights); the table and its new-data flag are
// shared with the user-interface thread under the reader's lock.
#include "inventory/RowBuilder.h"
#include "inventory/ServiceColumns.h"
#include "inventory/ServiceTable.h"

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>

namespace kelvane {

struct ReaderShared {
    std::recursive_mutex lock;                       // the reader's lock: table, newData, errorText
    ServiceTable table = ServiceColumns::newTable(); // the readerTable
    bool newData = false;
    std::string errorText;
};

struct ReadContext {
    SC_HANDLE manager = nullptr;
    HKEY servicesKey = nullptr; // the local services key; key times come from it
    RowTexts texts;
    // The image file of a configured command; empty when unresolved.
    std::function<std::string(const std::string& command)> resolveImagePath;
};

// Steps through both enumerations, builds each row and adds it under the
// lock, then removes the services that were not seen. Raises SDKException
// when an enumeration or a configuration query fails for another reason
// than denied access; rows added so far stay.
void readAllServices(const ReadContext& context, ReaderShared& shared);

} // namespace kelvane
