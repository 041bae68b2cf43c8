#pragma once
// Dotted version numbers as the maker publishes them ("4.6", "4.10.2",
// "Windows/XP 4.6").
#include <string_view>

namespace kelvane {

// -1, 0 or 1 as a is older than, the same as or newer than b. Numbers compare
// as numbers, the text after a number up to its "." as bytes. A text whose
// first "/" comes before its first "." is compared from after the blanks that
// follow the first word starting at that "/".
int compareVersions(std::string_view a, std::string_view b);

} // namespace kelvane
