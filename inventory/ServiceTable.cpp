#include "inventory/ServiceTable.h"

namespace kelvane {

namespace {

bool sameTexts(const TableRow& a, const TableRow& b) {
    const std::size_t count = a.cells.size() > b.cells.size() ? a.cells.size() : b.cells.size();
    for (std::size_t i = 0; i < count; ++i) {
        const auto index = static_cast<std::int32_t>(i);
        if (a.cell(index).text != b.cell(index).text) {
            return false;
        }
    }
    return true;
}

} // namespace

ServiceTable::ServiceTable(const ServiceTable& other) {
    Lock source = other.lock();
    columns_ = other.columns_;
    keyCount_ = other.keyCount_;
    keyIndexes_ = other.keyIndexes_;
    rows_ = other.rows_;
}

ServiceTable::ServiceTable(ServiceTable&& other) {
    Lock source = other.lock();
    columns_ = std::move(other.columns_);
    keyCount_ = other.keyCount_;
    keyIndexes_ = std::move(other.keyIndexes_);
    rows_ = std::move(other.rows_);
    other.columns_.clear();
    other.keyCount_ = 0;
    other.keyIndexes_.clear();
    other.rows_.clear();
}

ServiceTable ServiceTable::withColumnsOf(const ServiceTable& prototype) {
    ServiceTable table;
    Lock source = prototype.lock();
    table.columns_ = prototype.columns_;
    table.keyCount_ = prototype.keyCount_;
    table.keyIndexes_ = prototype.keyIndexes_;
    return table;
}

ColumnInfo& ServiceTable::defineColumn(const std::string& name, ColumnType type, bool key,
                                       bool persist) {
    Lock guard = lock();
    ColumnInfo& info = columns_[name];
    info.name = name;
    info.type = type;
    info.key = key;
    info.persist = persist;
    if (info.index == -1) {
        info.index = static_cast<std::int32_t>(columns_.size()) - 1;
        if (key) {
            ++keyCount_;
        }
    }
    rememberKeyIndexes();
    return info;
}

const ColumnInfo* ServiceTable::findColumn(const std::string& name) const {
    Lock guard = lock();
    const auto found = columns_.find(name);
    return found == columns_.end() ? nullptr : &found->second;
}

int ServiceTable::keyCount() const {
    Lock guard = lock();
    return keyCount_;
}

std::size_t ServiceTable::rowCount() const {
    Lock guard = lock();
    return rows_.size();
}

void ServiceTable::rememberKeyIndexes() {
    keyIndexes_.clear();
    for (const auto& entry : columns_) {
        if (entry.second.key) {
            keyIndexes_.push_back(entry.second.index);
        }
    }
}

RowKey ServiceTable::keyOfLocked(const TableRow& row) const {
    RowKey key;
    key.reserve(keyIndexes_.size());
    for (const std::int32_t index : keyIndexes_) {
        key.push_back(row.cell(index).text);
    }
    return key;
}

RowKey ServiceTable::keyOf(const TableRow& row) const {
    Lock guard = lock();
    return keyOfLocked(row);
}

bool ServiceTable::findRow(const RowKey& key, TableRow& row) const {
    Lock guard = lock();
    const auto found = rows_.find(key);
    if (found == rows_.end()) {
        return false;
    }
    row = found->second;
    return true;
}

void ServiceTable::addRow(const TableRow& row) {
    addRow(TableRow(row));
}

void ServiceTable::addRow(TableRow&& row) {
    Lock guard = lock();
    RowKey key = keyOfLocked(row);
    // Rows mostly come in key order (a stored table, a name-ordered read):
    // one comparison with the last key then takes the place of a search.
    if (rows_.empty() || compareKeys(rows_.rbegin()->first, key) < 0) {
        rows_.emplace_hint(rows_.end(), std::move(key), std::move(row));
        return;
    }
    rows_[std::move(key)] = std::move(row);
}

void ServiceTable::removeRow(const RowKey& key) {
    Lock guard = lock();
    rows_.erase(key);
}

void ServiceTable::removeAllRows() {
    Lock guard = lock();
    rows_.clear();
}

void ServiceTable::assign(const ServiceTable& other) {
    if (this == &other) {
        return;
    }
    Lock target = lock();
    Lock source = other.lock();
    columns_ = other.columns_;
    keyCount_ = other.keyCount_;
    keyIndexes_ = other.keyIndexes_;
    rows_ = other.rows_;
}

ServiceTable ServiceTable::diff(const ServiceTable& newer, const ServiceTable& older) {
    ServiceTable result;
    Lock resultLock = result.lock();
    Lock newerLock = newer.lock();
    Lock olderLock = older.lock();
    // The newer table's columns, plus those only the older one has.
    result.columns_ = newer.columns_;
    result.keyCount_ = newer.keyCount_;
    for (const auto& entry : older.columns_) {
        result.columns_.insert(entry);
    }
    result.rememberKeyIndexes();

    // Both maps are in key order, so every result row goes to the end.
    auto& out = result.rows_;
    auto n = newer.rows_.begin();
    auto o = older.rows_.begin();
    const auto nEnd = newer.rows_.end();
    const auto oEnd = older.rows_.end();
    while (n != nEnd || o != oEnd) {
        const int order = n == nEnd ? 1 : (o == oEnd ? -1 : compareKeys(n->first, o->first));
        if (order > 0) {
            auto added = out.emplace_hint(out.end(), o->first, o->second);
            added->second.mark = RowMark::removed;
            ++o;
        } else if (order < 0) {
            auto added = out.emplace_hint(out.end(), n->first, n->second);
            added->second.mark = RowMark::present;
            ++n;
        } else {
            if (!sameTexts(n->second, o->second)) {
                auto added = out.emplace_hint(out.end(), n->first, n->second);
                added->second.mark = RowMark::present;
            }
            ++n;
            ++o;
        }
    }
    return result;
}

ChangeMask ServiceTable::changeMask(const TableRow& row, const TableRow& baselineRow,
                                    const ColumnMap& columns) {
    std::uint32_t mask = 0;
    for (const auto& entry : columns) {
        const ColumnInfo& info = entry.second;
        // A column beyond bit 31 cannot be told apart in the mask.
        if (!info.persist || info.index < 0 || info.index > 31) {
            continue;
        }
        // A baseline from before the column existed cannot tell what changed.
        if (baselineRow.absentColumns & (std::uint32_t{1} << info.index)) {
            continue;
        }
        if (row.cell(info.index).text != baselineRow.cell(info.index).text) {
            mask |= std::uint32_t{1} << info.index;
        }
    }
    return static_cast<ChangeMask>(mask);
}

} // namespace kelvane
