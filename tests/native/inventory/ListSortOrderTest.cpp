// The order the list shows after a header click.
#include "inventory/ListSortOrder.h"

#include <gtest/gtest.h>

using kelvane::compareListTexts;

TEST(ListSortOrderTest, PidsAsNumbersTimesAsDatesTheRestIgnoringCase) {
    const struct {
        int column;
        const char* a;
        const char* b;
        int order;
    } cases[] = {
        {5, "9", "10", -1},
        {5, "", "1", -1}, // no process sorts first
        {5, "12x", "12", 0},
        {5, "99999999999999999999999", "1", 1}, // long digit runs do not wrap
        // As text "01.12.2025" < "31.01.2020"; as dates it is the other way.
        {9, "01.12.2025 00:00:00", "31.01.2020 23:59:59", 1},
        {10, "07.03.2026 04:05:08", "07.03.2026 04:05:09", -1},
        {10, "", "01.01.1980 00:00:00", -1},
        {9, "01.01.2026 00:00:0", "", 0}, // one digit short is no time
        {0, "Spooler", "spooler", 0},
        {1, "alpha", "Beta", -1}, // unlike the table's byte order
        {2, "abc", "abcd", -1},
        {6, "10", "9", -1}, // only the PID column is numeric
    };
    for (const auto& c : cases) {
        const int order = compareListTexts(c.column, c.a, c.b);
        EXPECT_EQ((order > 0) - (order < 0), c.order) << c.column << " " << c.a << " " << c.b;
    }
}
