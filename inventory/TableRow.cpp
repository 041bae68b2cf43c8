#include "inventory/TableRow.h"

namespace kelvane {

const TableCell& TableRow::cell(std::int32_t index) const noexcept {
    static const TableCell empty;
    if (index < 0 || static_cast<std::size_t>(index) >= cells.size()) {
        return empty;
    }
    return cells[static_cast<std::size_t>(index)];
}

int compareKeys(const RowKey& a, const RowKey& b) noexcept {
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        if (const int order = a[i].compare(b[i])) {
            return order;
        }
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

} // namespace kelvane
