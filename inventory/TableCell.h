#pragma once
// One value of a table row: the text that is shown, compared and stored, and
// a number that means something only in Integer and Real columns.
#include "inventory/ColumnInfo.h"
#include "inventory/SharedText.h"

#include <cstdint>
#include <utility>

namespace kelvane {

class TableCell {
public:
    TableCell() noexcept = default;
    explicit TableCell(SharedText text) noexcept : text(std::move(text)) {}
    TableCell(SharedText text, std::int32_t value) noexcept : text(std::move(text)) {
        setInteger(value);
    }

    // An Integer cell with the text "%d" of its value.
    static TableCell integer(std::int32_t value);
    // A Real cell with the text "%f" of its value.
    static TableCell real(double value);
    // A cell as read from stored text: the value is the leading number of
    // the text for Integer (clamped to 32 bits) and Real columns, 0 otherwise.
    static TableCell fromText(SharedText text, ColumnType type);

    std::int32_t intValue() const noexcept { return value_.integer; }
    double realValue() const noexcept { return value_.real; }
    void setInteger(std::int32_t value) noexcept {
        value_.real = 0;
        value_.integer = value;
    }
    void setReal(double value) noexcept { value_.real = value; }

    SharedText text;

private:
    // Zeroing the double clears all eight bytes, so both readings of an
    // empty cell are 0.
    union Value {
        double real;
        std::int32_t integer;
    } value_ = {0.0};
};

} // namespace kelvane
