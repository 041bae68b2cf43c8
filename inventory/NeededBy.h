#pragma once
// "Needed by": the services whose dependency list names a service, by its
// own name or by its load order group ("+group"). Computed over the reader's
// table from what the reader has already read, so it costs no manager call.
#include "inventory/ServiceTable.h"

namespace kelvane {

// Sets the neededBy cell of every row of a table with the service columns
// to the names of its dependents, in table order joined by ", ". Names and
// groups compare ignoring ASCII letter case, as the manager compares them.
// Only rows whose text changes are replaced; true when there were any.
bool updateNeededBy(ServiceTable& table);

} // namespace kelvane
