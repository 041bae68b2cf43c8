#pragma once
// One row of a ServiceTable and the key that orders it.
#include "inventory/TableCell.h"

#include <cstdint>
#include <vector>

namespace kelvane {

// The mark of a row; meaningful only in a table made by ServiceTable::diff.
struct RowMark {
    static constexpr std::uint32_t present = 0;
    static constexpr std::uint32_t removed = 255;
};

struct TableRow {
    std::vector<TableCell> cells; // at the index of each column
    std::uint32_t mark = RowMark::present;
    // Bit n: a stored row that did not carry the optional column with index
    // n (see ColumnInfo::optionalInBaseline); the cell is not known.
    std::uint32_t absentColumns = 0;

    // The cell at index, or an empty cell when the row is shorter: rows read
    // from a stored table may lack columns.
    const TableCell& cell(std::int32_t index) const noexcept;
};

// The texts of the key columns, in the order of the column map. Keys compare
// element by element, each text byte-wise; a key that is a prefix of another
// sorts first.
using RowKey = std::vector<SharedText>;

int compareKeys(const RowKey& a, const RowKey& b) noexcept;

} // namespace kelvane
