#pragma once
// One named column of a ServiceTable.
#include <cstdint>
#include <string>

namespace kelvane {

// How a cell's text is turned into its value when a table is read back from
// its stored form. Time cells keep only their formatted text.
enum class ColumnType : std::int32_t { Text = 0, Integer = 1, Real = 2, Time = 4 };

struct ColumnInfo {
    std::string name;
    ColumnType type = ColumnType::Text;
    std::int32_t index = -1; // position of the column's cell in every row
    bool key = false;
    bool persist = true; // stored and compared against the baseline
    // A persisted column that baselines stored before it existed lack. It is
    // stored even when empty, so that a stored row without it means "not
    // known" and is not compared in that column.
    bool optionalInBaseline = false;
};

} // namespace kelvane
