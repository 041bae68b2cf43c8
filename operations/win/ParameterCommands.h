#pragma once
// Creating a service and editing a listed one through the parameters dialog.
#include "operations/win/CommandHost.h"

namespace kelvane {

// Runs the dialog from the defaults and creates the service on OK. A refused
// creation is reported and the dialog opens again with what was entered,
// until it succeeds or the user cancels.
void createServiceCommand(CommandHost& host);

// The same for changing the configuration of entry's service.
void editServiceCommand(CommandHost& host, const ServiceEntry& entry);

} // namespace kelvane
