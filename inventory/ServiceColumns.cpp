#include "inventory/ServiceColumns.h"

namespace kelvane {

void ServiceColumns::build(ServiceTable& table) {
    struct Definition {
        const char* name;
        ColumnType type;
        bool key;
        bool persist;
        bool optionalInBaseline = false;
    };
    static const Definition definitions[count] = {
        {"serviceName", ColumnType::Text, true, true},
        {"displayName", ColumnType::Text, false, true},
        {"typeText", ColumnType::Text, false, false},
        {"start", ColumnType::Text, false, true},
        {"status", ColumnType::Text, false, true},
        {"pid", ColumnType::Integer, false, false},
        {"account", ColumnType::Text, false, true},
        {"command", ColumnType::Text, false, true},
        {"binaryPath", ColumnType::Text, false, false},
        {"type", ColumnType::Integer, false, true},
        {"startType", ColumnType::Integer, false, false},
        {"active", ColumnType::Integer, false, true},
        {"typeImage", ColumnType::Integer, false, true},
        {"time", ColumnType::Time, false, false},
        {"changed", ColumnType::Integer, false, false},
        {"description", ColumnType::Text, false, false},
        {"dependencies", ColumnType::Text, false, true, true},
        {"neededBy", ColumnType::Text, false, false},
        {"startOptions", ColumnType::Text, false, true, true},
        {"onFailure", ColumnType::Text, false, true, true},
        {"loadOrderGroup", ColumnType::Text, false, false},
    };
    for (const Definition& d : definitions) {
        table.defineColumn(d.name, d.type, d.key, d.persist).optionalInBaseline =
            d.optionalInBaseline;
    }
}

const ServiceTable& ServiceColumns::prototype() {
    static const ServiceTable columns = [] {
        ServiceTable table;
        build(table);
        return table;
    }();
    return columns;
}

ServiceTable ServiceColumns::newTable() {
    return ServiceTable::withColumnsOf(prototype());
}

void markAgainstBaseline(TableRow& row, const ServiceTable& baseline) {
    const ServiceTable& columns = ServiceColumns::prototype();
    const RowKey key = columns.keyOf(row);
    TableRow baselineRow;
    ChangeMask mask = changeMaskNew;
    if (baseline.findRow(key, baselineRow)) {
        mask = ServiceTable::changeMask(row, baselineRow, columns.columns());
    }
    if (mask == 0) {
        return;
    }
    if (row.cells.size() < static_cast<std::size_t>(ServiceColumns::count)) {
        row.cells.resize(ServiceColumns::count);
    }
    row.cells[ServiceColumns::changed] = TableCell::integer(mask);
}

} // namespace kelvane
