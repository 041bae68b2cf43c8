#include "inventory/ServiceEntries.h"

#include "inventory/ServiceColumns.h"

namespace kelvane {

const ServiceEntry* ServiceEntries::find(int number) const {
    std::lock_guard<Mutex> guard(mutex_);
    auto found = entries_.find(number);
    return found == entries_.end() ? nullptr : &found->second;
}

int ServiceEntries::numberOf(const SharedText& serviceName) const {
    std::lock_guard<Mutex> guard(mutex_);
    auto found = numbersByName_.find(serviceName);
    return found == numbersByName_.end() ? 0 : found->second;
}

void ServiceEntries::clearChangeMarks() {
    std::lock_guard<Mutex> guard(mutex_);
    for (auto& [number, entry] : entries_) {
        entry.changed = 0;
    }
}

void ServiceEntries::setIconIndex(int number, std::int32_t iconIndex) {
    std::lock_guard<Mutex> guard(mutex_);
    auto found = entries_.find(number);
    if (found != entries_.end()) {
        found->second.iconIndex = iconIndex;
    }
}

void ServiceEntries::applyDifference(const ServiceTable& diffTable, const ServiceTable* baseline,
                                     EntrySink& sink) {
    std::lock_guard<Mutex> guard(mutex_);
    ServiceTable::Lock diffLock = diffTable.lock();
    struct Batch {
        EntrySink& sink;
        explicit Batch(EntrySink& s) : sink(s) { sink.batchBegins(); }
        ~Batch() { sink.batchEnds(); }
    } batch(sink);
    for (const auto& [key, diffRow] : diffTable.rows()) {
        if (diffRow.mark == RowMark::removed) {
            auto name = numbersByName_.find(diffRow.cell(ServiceColumns::serviceName).text);
            if (name == numbersByName_.end()) {
                continue;
            }
            auto entry = entries_.find(name->second);
            ServiceEntry removed = std::move(entry->second);
            int number = name->second;
            entries_.erase(entry);
            numbersByName_.erase(name);
            sink.entryRemoved(number, removed);
            continue;
        }
        if (baseline) {
            TableRow marked = diffRow;
            markAgainstBaseline(marked, *baseline);
            addOrUpdate(marked, sink);
        } else {
            addOrUpdate(diffRow, sink);
        }
    }
}

void ServiceEntries::addOrUpdate(const TableRow& row, EntrySink& sink) {
    ServiceEntry fresh = ServiceEntry::fromRow(row);
    auto name = numbersByName_.find(fresh.serviceName);
    if (name != numbersByName_.end()) {
        ServiceEntry& entry = entries_[name->second];
        entry = std::move(fresh);
        sink.entryChanged(name->second, entry);
        return;
    }
    int number = ++counter_;
    numbersByName_.emplace(fresh.serviceName, number);
    const ServiceEntry& entry = entries_.emplace(number, std::move(fresh)).first->second;
    sink.entryAdded(number, entry);
}

int ServiceEntries::updateFromRow(const TableRow& row, ServiceEntry& updated) {
    std::lock_guard<Mutex> guard(mutex_);
    auto name = numbersByName_.find(row.cell(ServiceColumns::serviceName).text);
    if (name == numbersByName_.end()) {
        return 0;
    }
    ServiceEntry& entry = entries_[name->second];
    ServiceEntry fresh = ServiceEntry::fromRow(row);
    fresh.iconIndex = entry.iconIndex;
    entry = std::move(fresh);
    updated = entry;
    return name->second;
}

void ServiceEntries::clear() {
    std::lock_guard<Mutex> guard(mutex_);
    entries_.clear();
    numbersByName_.clear();
}

} // namespace kelvane
