#include "update/VersionCompare.h"

#include <cstdint>

namespace kelvane {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

int sign(int value) {
    return value < 0 ? -1 : value > 0 ? 1 : 0;
}

int compareBytes(std::string_view a, std::string_view b) {
    return sign(a.compare(b));
}

std::string_view versionPart(std::string_view text) {
    const size_t slash = text.find('/');
    const size_t dot = text.find('.');
    if (slash == std::string_view::npos || dot == std::string_view::npos || slash > dot) {
        return text;
    }
    size_t i = slash;
    while (i < text.size() && !isBlank(text[i])) {
        ++i;
    }
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    return i < text.size() ? text.substr(i) : text;
}

// The leading number as the C library would read it (blanks, a sign, then
// digits; none gives 0), held at the limits of 64 bits. Moves text past it.
int64_t takeNumber(std::string_view& text) {
    size_t i = 0;
    while (i < text.size() && (isBlank(text[i]) || text[i] == '\n' || text[i] == '\r' ||
                               text[i] == '\v' || text[i] == '\f')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const size_t digits = i;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        value = value > (INT64_MAX - digit) / 10 ? INT64_MAX : value * 10 + digit;
    }
    if (i == digits) {
        return 0; // no conversion: nothing is consumed
    }
    text.remove_prefix(i);
    return negative ? -value : value;
}

} // namespace

int compareVersions(std::string_view a, std::string_view b) {
    a = versionPart(a);
    b = versionPart(b);
    while (!a.empty() && !b.empty()) {
        const int64_t x = takeNumber(a);
        const int64_t y = takeNumber(b);
        if (x != y) {
            return x < y ? -1 : 1;
        }
        const std::string_view restA = a.substr(0, a.find('.'));
        const std::string_view restB = b.substr(0, b.find('.'));
        if (const int order = compareBytes(restA, restB)) {
            return order;
        }
        a.remove_prefix(restA.size() < a.size() ? restA.size() + 1 : a.size());
        b.remove_prefix(restB.size() < b.size() ? restB.size() + 1 : b.size());
    }
    return compareBytes(a, b);
}

} // namespace kelvane
