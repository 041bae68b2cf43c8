#pragma once
// One read of every service and driver of a computer into the reader's
// table, as the reader thread runs it. The manager is opened by the caller
// (with connect and enumerate rights); the table and its new-data flag are
// shared with the user-interface thread under the reader's lock.
#include "inventory/ReaderState.h"
#include "inventory/RowBuilder.h"
#include "inventory/win/HostInfo.h"
#include "inventory/win/ServiceReadExtras.h"
#include "operations/win/ScmConnection.h"

#include <windows.h>

#include <functional>
#include <string>

namespace kelvane {

struct ReadContext {
    SC_HANDLE manager = nullptr;
    HKEY servicesKey = nullptr; // the local services key; key times come from it
    RowTexts texts;
    // The image file of a configured command; empty when unresolved.
    std::function<std::string(const std::string& command)> resolveImagePath;
    // A "@file,-id" description to its text; none for a remote computer.
    std::function<std::string(const std::string& text)> resolveIndirectText;
    // The configuration queries; nullptr for the system's.
    ServiceConfigSource* configSource = nullptr;
};

// Steps through both enumerations, builds each row and adds it under the
// lock, then removes the services that were not seen and fills in "Needed
// by" over the whole table. Raises SDKException when an enumeration or a
// configuration query fails for another reason than denied access; rows
// added so far stay. The further queries never end a row or the read.
void readAllServices(const ReadContext& context, ReaderState& shared);

// One read of the computer named in hostInfo: opens its manager (a failure
// empties the table, sets new data and propagates), classifies the host,
// loads the texts in the user-interface language and reads every service.
// openManager opens the manager of a host with the given rights into the
// connection; Wine's manager serves every host name itself, so tests hand
// in one that fails as a remote computer can.
using ManagerOpener =
    std::function<void(ScmConnection& connection, const std::string& host, DWORD rights)>;
void readComputer(HostInfo& hostInfo, HKEY servicesKey, ReaderState& shared,
                  const ManagerOpener& openManager = nullptr);

} // namespace kelvane
