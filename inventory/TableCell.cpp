#include "inventory/TableCell.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace kelvane {

TableCell TableCell::integer(std::int32_t value) {
    char buffer[16];
    const int length = std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(value));
    return TableCell(SharedText(buffer, static_cast<std::size_t>(length)), value);
}

TableCell TableCell::real(double value) {
    // "%f" of a huge double has more than 300 digits.
    char buffer[400];
    int length = std::snprintf(buffer, sizeof buffer, "%f", value);
    if (length < 0) {
        length = 0;
    } else if (static_cast<std::size_t>(length) >= sizeof buffer) {
        length = sizeof buffer - 1;
    }
    TableCell cell{SharedText(buffer, static_cast<std::size_t>(length))};
    cell.setReal(value);
    return cell;
}

TableCell TableCell::fromText(SharedText text, ColumnType type) {
    TableCell cell{std::move(text)};
    if (type == ColumnType::Integer) {
        // Like atoi, but an out-of-range number is clamped instead of
        // undefined.
        errno = 0;
        long long number = std::strtoll(cell.text.c_str(), nullptr, 10);
        if (number > INT32_MAX) {
            number = INT32_MAX;
        } else if (number < INT32_MIN) {
            number = INT32_MIN;
        }
        cell.setInteger(static_cast<std::int32_t>(number));
    } else if (type == ColumnType::Real) {
        cell.setReal(std::strtod(cell.text.c_str(), nullptr));
    }
    return cell;
}

} // namespace kelvane
