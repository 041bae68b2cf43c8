#pragma once
// A service's state as the manager reports it between two reads, and how it
// changes that service in place: the row cells that follow the state (by the
// read's rules) in the shown and the reader's table, and its entry, whose
// change mark is set as a refresh sets it for a service it finds changed
// (against the baseline). No read and no list rebuild is needed for it.
#include "inventory/RefreshCycle.h"
#include "inventory/RowBuilder.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kelvane {

struct ServiceState {
    std::string serviceName;
    std::uint32_t state = 0;     // SERVICE_STOPPED (1) to SERVICE_PAUSED (7)
    std::uint32_t processId = 0; // 0: no process
};

// Sets the status, PID, active and icon class cells of row for the state;
// the row's type cell decides the icon class. False when they held it already.
bool setStateCells(TableRow& row, const RowTexts& texts, std::uint32_t state,
                   std::uint32_t processId);

struct StateUpdate {
    int number = 0;     // the entry's
    ServiceEntry entry; // as it is now
};

// Applies one reported state: the row in the shown table and in the reader's
// table under the reader's lock, then the entry. Nothing when the service
// has no row or no entry (not read yet, or gone) or its row shows the state
// already. baseline: given for the local computer with a valid baseline.
std::optional<StateUpdate> applyServiceState(ReaderState& reader, ShownTables& tables,
                                             const ServiceTable* baseline, ServiceEntries& entries,
                                             const RowTexts& texts, const ServiceState& state);

// What the list does with an entry changed in place: the filter decides anew,
// so a service that stops while inactive ones are hidden leaves the list.
enum class ItemChange { none, update, add, remove };
ItemChange itemChangeFor(bool passesFilter, bool listed);

} // namespace kelvane
