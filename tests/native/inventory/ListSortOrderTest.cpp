// The order the list shows after a header click.
#include "inventory/ListSortOrder.h"

#include <gtest/gtest.h>

using kelvane::compareListTexts;

TEST(ListSortOrderTest, PidComparesAsNumbers) {
    EXPECT_LT(compareListTexts(5, "9", "10"), 0);
    EXPECT_LT(compareListTexts(5, "", "1"), 0) << "no process sorts first";
    EXPECT_EQ(compareListTexts(5, "12x", "12"), 0);
    EXPECT_GT(compareListTexts(5, "99999999999999999999999", "1"), 0)
        << "long digit runs do not wrap";
}

TEST(ListSortOrderTest, TimesCompareByDateNotText) {
    // As text "01.12.2025" < "31.01.2020"; as dates it is the other way.
    EXPECT_GT(compareListTexts(9, "01.12.2025 00:00:00", "31.01.2020 23:59:59"), 0);
    EXPECT_LT(compareListTexts(10, "07.03.2026 04:05:08", "07.03.2026 04:05:09"), 0);
    EXPECT_LT(compareListTexts(10, "", "01.01.1980 00:00:00"), 0);
    EXPECT_EQ(compareListTexts(9, "garbage", ""), 0);
}

TEST(ListSortOrderTest, OtherColumnsIgnoreLetterCase) {
    EXPECT_EQ(compareListTexts(0, "Spooler", "spooler"), 0);
    EXPECT_LT(compareListTexts(1, "alpha", "Beta"), 0) << "unlike the table's byte order";
    EXPECT_LT(compareListTexts(2, "abc", "abcd"), 0);
    EXPECT_LT(compareListTexts(5 + 1, "10", "9"), 0) << "only the PID column is numeric";
}
