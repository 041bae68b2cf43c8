#pragma once
// Which actions the selected service allows: the action buttons of the main
// window and the entries of the list's context menu.
#include "operations/ServiceStatus.h"

#include <cstdint>

namespace kelvane {

struct ActionStates {
    bool start = false;
    bool stop = false;
    bool pause = false;
    bool resume = false;
    bool restart = false;
    bool remove = false;
};

// status is what queryStatusAndControls gave (state and controls accepted);
// startType the service's configured start type. Nothing is allowed without
// a selected entry or while a service operation runs.
ActionStates actionStates(bool haveEntry, bool busy, std::uint32_t startType,
                          const ServiceStatus& status);

// Whether the context menu offers changing to startType: never to the one
// set now, and boot or system start only for drivers.
bool startTypeOffered(std::uint32_t startType, std::uint32_t currentStartType,
                      std::uint32_t serviceType);

} // namespace kelvane
