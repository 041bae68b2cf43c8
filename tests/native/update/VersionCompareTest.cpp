#include "update/VersionCompare.h"
#include "tests/native/ExactText.h"

#include <gtest/gtest.h>

using namespace kelvane;
using kelvane::test::ExactText;

TEST(VersionCompare, NumbersAsNumbersTheRestAsBytesAndAWordBeforeTheVersionSkipped) {
    const struct {
        const char *a, *b;
        int order;
    } cases[] = {
        {"4.6", "4.6", 0},
        {"4.7", "4.6", 1},
        {"4.6", "4.10", -1},
        {"10", "9.9", 1},
        {"", "4.6", -1},
        // What is left over decides, byte-wise.
        {"4.6", "4.6.0", -1},
        {"99999999999999999999999", "99999999999999999999998", 0},
        {"4.6b", "4.6a", 1},
        {"4.x", "4.0", 1},
        // A slash before the first dot skips to the next word.
        {"Win2000/XP 4.6", "4.6", 0},
        {"NT/2000   4.7.1", "4.7.0", 1},
        {"a/b", "a/b", 0}, // nothing after the word: the whole text
        {"9/x.y", "10", -1},
        {"x/y 5", "5", -1},        // no dot at all: no skipping
        {"4.6/x 9", "4.6/x 1", 1}, // a dot before the slash: no skipping
    };
    for (const auto& c : cases) {
        EXPECT_EQ(compareVersions(ExactText(c.a), ExactText(c.b)), c.order) << c.a << " " << c.b;
    }
}
