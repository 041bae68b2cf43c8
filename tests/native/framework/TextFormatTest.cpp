#include "framework/TextFormat.h"

#include <gtest/gtest.h>

using Plinth::formatText;

TEST(TextFormat, UsualConversions) {
    EXPECT_EQ(formatText("%d services", 3), "3 services");
    EXPECT_EQ(formatText("0x%08X", 0xbeefu), "0x0000BEEF");
    EXPECT_EQ(formatText("%02d.%02d.%04d %02d:%02d:%02d", 1, 2, 2026, 3, 4, 5),
              "01.02.2026 03:04:05");
    EXPECT_EQ(formatText("%f", 1.5), "1.500000");
    EXPECT_EQ(formatText("%s=%s", "a", std::string("b")), "a=b");
    EXPECT_EQ(formatText("100%% %c", 'x'), "100% x");
    EXPECT_EQ(formatText("%-5s|", "ab"), "ab   |");
    EXPECT_EQ(formatText("%.2s", "abcdef"), "ab");
}

TEST(TextFormat, PlatformLengthModifiersReadTheirArguments) {
    EXPECT_EQ(formatText(" während %hs", "opening service"), " während opening service");
    EXPECT_EQ(formatText("%ld %lu %I64d", 1L, 2UL, 3LL), "1 2 3");
}

TEST(TextFormat, OwnConversions) {
    EXPECT_EQ(formatText("[%#s]", std::string("text")), "[text]");
    Plinth::SystemTime day;
    day.year = 2026;
    day.month = 12;
    day.day = 6;
    day.hour = 23;
    // The native stand-in renders the day alone, never the time of day.
    EXPECT_EQ(formatText("last check %D", day), "last check 2026-12-06");
}

TEST(TextFormat, MissingOrWrongArgumentsInsertNothing) {
    EXPECT_EQ(formatText("a %d b %s c"), "a  b  c");
    EXPECT_EQ(formatText("%s", 5), "");
    EXPECT_EQ(formatText("%D", "not a time"), "");
    EXPECT_EQ(formatText("trailing %"), "trailing %");
    EXPECT_EQ(formatText("%y kept"), "%y kept");
}
