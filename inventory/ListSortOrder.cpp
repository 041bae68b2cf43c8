#include "inventory/ListSortOrder.h"

#include <array>
#include <cctype>
#include <cstdint>

namespace kelvane {

namespace {

constexpr int pidColumn = 5, activationTimeColumn = 9, fileTimeColumn = 10;

// The leading digits as a number; empty text is 0. Wide enough that no
// digit string a list can hold wraps around.
std::uint64_t leadingNumber(std::string_view text) {
    std::uint64_t value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)) || value > UINT64_MAX / 100) {
            break;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value;
}

// "dd.mm.yyyy hh:mm:ss" as one number that orders like the time. A text
// that is not a time (an empty cell) sorts before every time.
std::uint64_t timeKey(std::string_view text) {
    // Field positions in the text, taken in order year, month, day, hour,
    // minute, second.
    static constexpr std::array<std::array<int, 2>, 6> fields = {
        {{6, 4}, {3, 2}, {0, 2}, {11, 2}, {14, 2}, {17, 2}}};
    if (text.size() < 19) {
        return 0;
    }
    std::uint64_t key = 0;
    for (const auto& [start, length] : fields) {
        std::uint64_t field = 0;
        for (int i = start; i < start + length; ++i) {
            char c = text[static_cast<size_t>(i)];
            if (!std::isdigit(static_cast<unsigned char>(c))) {
                return 0;
            }
            field = field * 10 + static_cast<unsigned>(c - '0');
        }
        key = key * (length == 4 ? 10000 : 100) + field;
    }
    return key;
}

template <typename T> int compareValues(T a, T b) {
    return a < b ? -1 : b < a ? 1 : 0;
}

int compareFolded(std::string_view a, std::string_view b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        int x = std::tolower(static_cast<unsigned char>(a[i]));
        int y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return compareValues(a.size(), b.size());
}

} // namespace

int compareListTexts(int column, std::string_view a, std::string_view b) {
    switch (column) {
    case pidColumn:
        return compareValues(leadingNumber(a), leadingNumber(b));
    case activationTimeColumn:
    case fileTimeColumn:
        return compareValues(timeKey(a), timeKey(b));
    default:
        return compareFolded(a, b);
    }
}

} // namespace kelvane
