#pragma once
// The record behind one item of the service list, made from a row of a
// difference table.
#include "inventory/ServiceTable.h"

#include <cstdint>

namespace kelvane {

struct ServiceEntry {
    SharedText displayName;
    SharedText serviceName;
    SharedText typeText;
    SharedText startText;
    SharedText statusText;
    SharedText pidText;
    SharedText account;
    SharedText command;
    SharedText binaryPath;
    std::int32_t type = 0;
    std::int32_t startType = 0;
    std::int32_t active = 0;
    std::int32_t typeImage = 0;
    std::int32_t iconIndex = -1; // set by the icon cache
    SharedText timeText;
    ChangeMask changed = 0;
    // The columns after the seventeen.
    SharedText description;
    SharedText dependencies;
    SharedText neededBy;
    SharedText startOptions;
    SharedText onFailure;

    // Cells the row lacks give empty texts and 0.
    static ServiceEntry fromRow(const TableRow& row);
};

} // namespace kelvane
