#pragma once
// The order of two list items by the texts of the sort column.
#include <string_view>

namespace kelvane {

// Negative, zero or positive, ascending. The PID column compares numbers,
// the two time columns points in time, every other column the texts with
// ASCII letters folded.
int compareListTexts(int column, std::string_view a, std::string_view b);

} // namespace kelvane
