// The formatter's own reading of a format: the platform's length modifiers,
// its "%#s" and "%D", and what it does with missing or unfitting arguments.
#include "framework/TextFormat.h"

#include <gtest/gtest.h>

using Plinth::formatText;

TEST(TextFormat, DirectivesAreReadAsThePlatformsPrintfReadsThem) {
    const Plinth::SystemTime day{2026, 12, 0, 6, 23}; // with a time of day
    const std::pair<std::string, const char*> cases[] = {
        {formatText("%-5s|%+d|% d|%05.1f", "ab", 3, 4, 2.5), "ab   |+3| 4|002.5"},
        {formatText("0x%08X %#x", 0xbeefu, 255u), "0x0000BEEF 0xff"},
        {formatText(" w\xE4hrend %hs %ls", "opening", std::string("service")),
         " w\xE4hrend opening service"},
        {formatText("%ld %lu %I64d %I32u %zu %lld", 1L, 2UL, 3LL, 4u, size_t(5), 6LL),
         "1 2 3 4 5 6"},
        {formatText("[%#s] 100%% %c", std::string("text"), 'x'), "[text] 100% x"},
        // The native stand-in renders the day alone, never the time of day.
        {formatText("last check %D", day), "last check 2026-12-06"},
        // Missing or unfitting arguments insert nothing; an unfinished or
        // unknown directive stays as written.
        {formatText("a %d b %s c"), "a  b  c"},
        {formatText("%s|%D|", 5, "not a time"), "||"},
        {formatText("trailing %"), "trailing %"},
        {formatText("%y kept %5"), "%y kept %5"},
    };
    for (const auto& [formatted, expected] : cases) {
        EXPECT_EQ(formatted, expected);
    }
}
