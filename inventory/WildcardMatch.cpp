#include "inventory/WildcardMatch.h"

#include <cstddef>

namespace kelvane {

namespace {

char folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

// Backtracking to the last "*" only is enough: whatever an earlier "*" could
// take more, the last one can take as well. This gives the same answer as
// trying every split recursively, in linear memory and without the
// exponential time a pattern like "*a*a*a*a*b" takes that way on a long text
// (service texts come from remote computers, patterns from the user).
bool wildcardMatch(std::string_view text, std::string_view pattern) {
    std::size_t t = 0, p = 0;
    std::size_t starPattern = std::string_view::npos, starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = ++p;
            starText = t;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || folded(pattern[p]) == folded(text[t]))) {
            ++p;
            ++t;
        } else if (starPattern != std::string_view::npos) {
            p = starPattern;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

} // namespace kelvane
