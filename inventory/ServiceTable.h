#pragma once
// An in-memory table of rows with named, typed columns, ordered by the texts
// of its key columns, with a lock of its own. Every operation below holds the
// table's lock for its whole run; the lock is re-entrant so that a caller may
// hold it (lock()) around several operations and the accessors that return
// references into the table.
#include "inventory/ColumnInfo.h"
#include "inventory/TableRow.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace kelvane {

// Bit n: the text of the persisted column with index n differs from the
// baseline. -1: the baseline does not hold the service. 0: unmarked.
using ChangeMask = std::int32_t;
constexpr ChangeMask changeMaskNew = -1;

struct KeyLess {
    bool operator()(const RowKey& a, const RowKey& b) const noexcept {
        return compareKeys(a, b) < 0;
    }
};

class ServiceTable {
public:
    using ColumnMap = std::map<std::string, ColumnInfo>; // byte-wise name order
    using RowMap = std::map<RowKey, TableRow, KeyLess>;
    using Mutex = std::recursive_mutex;
    using Lock = std::unique_lock<Mutex>;

    ServiceTable() = default;
    // Copies take the source's lock; the copy gets a lock of its own.
    ServiceTable(const ServiceTable& other);
    ServiceTable(ServiceTable&& other);
    ServiceTable& operator=(const ServiceTable& other) {
        assign(other);
        return *this;
    }
    ServiceTable& operator=(ServiceTable&&) = delete;

    // A table with the columns and key count of prototype and no rows.
    static ServiceTable withColumnsOf(const ServiceTable& prototype);

    Lock lock() const { return Lock(mutex_); }

    // The column of that name with these properties; a new column gets the
    // next index, and a new key column counts towards keyCount.
    ColumnInfo& defineColumn(const std::string& name, ColumnType type, bool key, bool persist);
    // nullptr when there is no such column.
    const ColumnInfo* findColumn(const std::string& name) const;

    // References stay valid only while the caller holds lock().
    const ColumnMap& columns() const { return columns_; }
    const RowMap& rows() const { return rows_; }
    int keyCount() const;
    std::size_t rowCount() const;

    RowKey keyOf(const TableRow& row) const;
    // A copy of the row with that key, or false.
    bool findRow(const RowKey& key, TableRow& row) const;

    // Inserts the row or, when its key is present, replaces the stored
    // row's cells and mark.
    void addRow(const TableRow& row);
    void addRow(TableRow&& row);
    void removeRow(const RowKey& key);
    void removeAllRows();

    // This table becomes an exact copy of other (columns, key count, rows).
    // Locks this table, then other.
    void assign(const ServiceTable& other);

    // The rows that differ between the two tables: rows of older missing
    // from newer (mark removed) and rows of newer that are new or differ in
    // any cell text (mark present). Locks the result, newer, then older.
    static ServiceTable diff(const ServiceTable& newer, const ServiceTable& older);

    // The ChangeMask of row against baselineRow over the persisted columns
    // among columns, leaving out those the baseline row marks absent.
    static ChangeMask changeMask(const TableRow& row, const TableRow& baselineRow,
                                 const ColumnMap& columns);

private:
    RowKey keyOfLocked(const TableRow& row) const;
    // After every change of the columns: the key is built once per row.
    void rememberKeyIndexes();

    mutable Mutex mutex_;
    ColumnMap columns_;
    int keyCount_ = 0;
    std::vector<std::int32_t> keyIndexes_; // of the key columns, in column-map order
    RowMap rows_;
};

} // namespace kelvane
