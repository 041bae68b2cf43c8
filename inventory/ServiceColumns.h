#pragma once
// The columns every service table has, and the marking of changed services
// against the last-known state. The first fifteen keep their indexes and
// stored names in every version; later ones follow them.
#include "inventory/ServiceTable.h"

#include <cstdint>

namespace kelvane {

class ServiceColumns {
public:
    // Cell indexes of the service columns.
    enum Index : std::int32_t {
        serviceName = 0,
        displayName = 1,
        typeText = 2,
        start = 3,
        status = 4,
        pid = 5,
        account = 6,
        command = 7,
        binaryPath = 8,
        type = 9,
        startType = 10,
        active = 11,
        typeImage = 12,
        time = 13,
        changed = 14,
        // What administrators look up beside the fifteen.
        description = 15,    // the service's own description
        dependencies = 16,   // services and "+groups" it needs, joined by ", "
        neededBy = 17,       // services whose dependencies name it, computed over the table
        startOptions = 18,   // "delayed" and/or "trigger"
        onFailure = 19,      // the recovery actions in words
        loadOrderGroup = 20, // not shown: how a "+group" dependency finds its services
    };
    static constexpr std::int32_t count = 21;

    // The process-wide prototype: the columns alone, no rows. Built on
    // first use and kept until the program ends.
    static const ServiceTable& prototype();

    // An empty table with a copy of the service columns.
    static ServiceTable newTable();

    // Builds the columns into table in index order.
    static void build(ServiceTable& table);
};

// Sets the "changed" cell of row against the baseline: -1 when the baseline
// lacks the service, else the ChangeMask over the persisted service columns
// when it is not 0. An unchanged row keeps the cell it has.
void markAgainstBaseline(TableRow& row, const ServiceTable& baseline);

} // namespace kelvane
