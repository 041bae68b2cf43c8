#include "inventory/RefreshCycle.h"

#include <optional>

namespace kelvane {

namespace {

bool readerHasMore(ReaderState& reader) {
    if (reader.busy.load()) {
        return true;
    }
    std::lock_guard<std::recursive_mutex> guard(reader.lock);
    return reader.newData;
}

} // namespace

RefreshResult runRefreshCycle(ReaderState& reader, ShownTables& tables, bool isLocal,
                              ServiceEntries& entries, EntrySink& sink,
                              const std::function<bool()>& waitStep) {
    RefreshResult result;
    entries.clearChangeMarks();
    while (readerHasMore(reader)) {
        if (!waitStep()) {
            return result;
        }
        std::optional<ServiceTable> difference;
        {
            std::lock_guard<std::recursive_mutex> guard(reader.lock);
            if (!reader.newData) {
                continue;
            }
            reader.newData = false;
            difference.emplace(ServiceTable::diff(reader.table, tables.shown));
            if (difference->rowCount() == 0) {
                continue;
            }
            tables.shown.assign(reader.table);
        }
        const ServiceTable* baseline = isLocal && tables.baselineValid ? &tables.baseline : nullptr;
        entries.applyDifference(*difference, baseline, sink);
        ++result.steps;
    }
    {
        std::lock_guard<std::recursive_mutex> guard(reader.lock);
        result.errorText = reader.errorText;
    }
    // A read that failed shows less than the computer has: as a baseline it
    // would mark every service "new" next time and be stored at close.
    if (isLocal && result.errorText.empty()) {
        tables.baseline.assign(tables.shown);
        tables.baselineValid = true;
    }
    result.completed = true;
    return result;
}

} // namespace kelvane
