#include "inventory/StateUpdate.h"

#include "inventory/ServiceColumns.h"

namespace kelvane {

namespace {

using C = ServiceColumns;

constexpr std::int32_t stateColumns[] = {C::status, C::pid, C::active, C::typeImage};

} // namespace

bool setStateCells(TableRow& row, const RowTexts& texts, std::uint32_t state,
                   std::uint32_t processId) {
    // The read's own rule makes the cells, so the two never disagree.
    EnumeratedService service;
    service.type = static_cast<std::uint32_t>(row.cell(C::type).intValue());
    service.state = state;
    service.processId = processId;
    const TableRow fresh = buildServiceRow(texts, service, std::nullopt, {});
    if (row.cells.size() < static_cast<std::size_t>(C::count)) {
        row.cells.resize(C::count);
    }
    bool changed = false;
    for (std::int32_t index : stateColumns) {
        TableCell& cell = row.cells[static_cast<std::size_t>(index)];
        const TableCell& now = fresh.cell(index);
        if (cell.text != now.text) {
            cell = now;
            changed = true;
        }
    }
    return changed;
}

std::optional<StateUpdate> applyServiceState(ReaderState& reader, ShownTables& tables,
                                             const ServiceTable* baseline, ServiceEntries& entries,
                                             const RowTexts& texts, const ServiceState& state) {
    const RowKey key{SharedText(state.serviceName)};
    TableRow row;
    {
        std::lock_guard<std::recursive_mutex> guard(reader.lock);
        if (!tables.shown.findRow(key, row) ||
            !setStateCells(row, texts, state.state, state.processId)) {
            return std::nullopt;
        }
        tables.shown.addRow(row);
        // The reader's row too, so the next refresh finds no difference
        // that the list already shows.
        TableRow read;
        if (reader.table.findRow(key, read)) {
            setStateCells(read, texts, state.state, state.processId);
            reader.table.addRow(std::move(read));
        }
    }
    // Marked as a refresh marks a service it finds changed.
    if (baseline) {
        markAgainstBaseline(row, *baseline);
    }
    StateUpdate update;
    update.number = entries.updateFromRow(row, update.entry);
    if (update.number == 0) {
        return std::nullopt;
    }
    return update;
}

ItemChange itemChangeFor(bool passesFilter, bool listed) {
    if (passesFilter) {
        return listed ? ItemChange::update : ItemChange::add;
    }
    return listed ? ItemChange::remove : ItemChange::none;
}

} // namespace kelvane
