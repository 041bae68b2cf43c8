#pragma once
// The search text matcher: "?" is any one character, "*" any run, also an
// empty one; letters match regardless of case.
#include <string_view>

namespace kelvane {

// True when pattern matches the whole of text. ASCII letters are folded to
// lower case in both; other bytes compare exactly.
bool wildcardMatch(std::string_view text, std::string_view pattern);

} // namespace kelvane
