#pragma once
// Rows as the reader builds them, for the inventory tests.
#include "inventory/RowBuilder.h"
#include "inventory/ServiceColumns.h"

#include <string>
#include <vector>

namespace kelvane::test {

// The string-table numbers stand in for the texts: "t134" for entry 134.
inline RowTexts numberedTexts() {
    return RowTexts::load([](unsigned id) { return "t" + std::to_string(id); });
}

// An own-process service (unless type says otherwise) in the given state,
// with a process while it runs.
inline TableRow serviceRow(const std::string& name, std::uint32_t state = 4,
                           std::uint32_t startType = 3, std::uint32_t type = 0x10,
                           const std::string& imagePath = "") {
    static const RowTexts texts = numberedTexts();
    return buildServiceRow(
        texts, {name, name + " display", type, state, state == 4 ? 100u : 0u},
        ServiceConfiguration{startType, "LocalSystem", "C:\\svc\\" + name + ".exe -k", imagePath},
        "");
}

inline ServiceTable tableOf(const std::vector<TableRow>& rows) {
    ServiceTable table = ServiceColumns::newTable();
    for (const TableRow& row : rows) {
        table.addRow(row);
    }
    return table;
}

inline std::vector<std::string> namesOf(const ServiceTable& table) {
    std::vector<std::string> names;
    auto guard = table.lock();
    for (const auto& entry : table.rows()) {
        names.push_back(entry.second.cell(ServiceColumns::serviceName).text.str());
    }
    return names;
}

inline TableRow rowIn(const ServiceTable& table, const std::string& name) {
    TableRow row;
    table.findRow({SharedText(name)}, row);
    return row;
}

// The texts of the given cells, each followed by "|".
inline std::string cellsOf(const TableRow& row, std::initializer_list<int> columns) {
    std::string texts;
    for (int column : columns) {
        texts += row.cell(column).text.str() + "|";
    }
    return texts;
}

} // namespace kelvane::test
