#pragma once
// One row of a ServiceTable and the key that orders it.
#include "inventory/TableCell.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
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
// sorts first. The service tables have one key column, whose text the key
// holds itself: a row then costs no allocation for its key.
class RowKey {
public:
    RowKey() = default;
    RowKey(std::initializer_list<SharedText> texts) {
        for (const SharedText& text : texts) {
            push_back(text);
        }
    }

    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }
    const SharedText& operator[](std::size_t index) const noexcept {
        return index == 0 ? first_ : more_[index - 1];
    }
    void reserve(std::size_t count) {
        if (count > 1) {
            more_.reserve(count - 1);
        }
    }
    void push_back(SharedText text) {
        if (size_ == 0) {
            first_ = std::move(text);
        } else {
            more_.push_back(std::move(text));
        }
        ++size_;
    }

private:
    SharedText first_;
    std::vector<SharedText> more_;
    std::size_t size_ = 0;
};

int compareKeys(const RowKey& a, const RowKey& b) noexcept;

} // namespace kelvane
