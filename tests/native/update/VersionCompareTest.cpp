#include "update/VersionCompare.h"

#include <gtest/gtest.h>

using namespace kelvane;

TEST(VersionCompare, NumbersCompareAsNumbers) {
    EXPECT_EQ(compareVersions("4.6", "4.6"), 0);
    EXPECT_EQ(compareVersions("4.7", "4.6"), 1);
    EXPECT_EQ(compareVersions("4.6", "4.10"), -1);
    EXPECT_EQ(compareVersions("10", "9.9"), 1);
    EXPECT_EQ(compareVersions("", "4.6"), -1);
    EXPECT_EQ(compareVersions("", ""), 0);
    // What is left over decides, byte-wise.
    EXPECT_EQ(compareVersions("4.6", "4.6.0"), -1);
    EXPECT_EQ(compareVersions("4.6", "4.6.1"), -1);
    EXPECT_EQ(compareVersions("4.6", "4.7"), -1);
    EXPECT_EQ(compareVersions("4.10", "4.9"), 1);
    EXPECT_EQ(compareVersions("99999999999999999999999", "99999999999999999999998"), 0);
}

TEST(VersionCompare, TextAfterANumberComparesAsBytes) {
    EXPECT_EQ(compareVersions("4.6b", "4.6a"), 1);
    EXPECT_EQ(compareVersions("4.6a", "4.6b"), -1);
    EXPECT_EQ(compareVersions("4.6 beta", "4.6"), 1);
    EXPECT_EQ(compareVersions("4.x", "4.0"), 1);
}

TEST(VersionCompare, SlashBeforeTheFirstDotSkipsToTheNextWord) {
    EXPECT_EQ(compareVersions("Win2000/XP 4.6", "4.6"), 0);
    EXPECT_EQ(compareVersions("NT/2000   4.7.1", "4.7.0"), 1);
    // Nothing after the word: the whole text is compared.
    EXPECT_EQ(compareVersions("a/b", "a/b"), 0);
    EXPECT_EQ(compareVersions("9/x.y", "10"), -1);
    // A dot before the slash: no skipping.
    EXPECT_EQ(compareVersions("4.6/x 1.0", "4.6/x 1.0"), 0);
    EXPECT_EQ(compareVersions("4.6/x 9", "4.6/x 1"), 1);
}
