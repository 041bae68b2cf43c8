#pragma once
// The two status queries of the main window: what the selected service can
// do now, and the stored configuration of a listed service. Both do nothing
// while a service operation keeps the window busy, and write a failure to
// the status line instead of raising it.
#include "inventory/ServiceEntry.h"
#include "operations/BusyCounter.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace kelvane {

using StatusLineWriter = std::function<void(const std::string& text)>;

// Fills status for the entry's service; for a running or paused service the
// controls accepted are asked of the service itself. State and controls are
// 0 when busy, without an entry, or when the query failed.
void queryStatusAndControls(const BusyCounter& busy, const std::string& host,
                            const ServiceEntry* entry, SERVICE_STATUS& status,
                            const StatusLineWriter& statusLine);

// The configuration in buffer, grown to the size the manager asks for; null
// when busy, without an entry, or when the query failed.
const QUERY_SERVICE_CONFIGA* queryConfig(const BusyCounter& busy, const std::string& host,
                                         const ServiceEntry* entry, std::vector<BYTE>& buffer,
                                         const StatusLineWriter& statusLine);

} // namespace kelvane
