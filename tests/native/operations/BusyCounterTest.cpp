// The busy counter of the main window.
#include "operations/BusyCounter.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kelvane;

TEST(BusyCounter, ButtonsComeBackOnlyWhenTheLastOperationEnds) {
    std::vector<bool> updates;
    BusyCounter counter([&](bool busy) { updates.push_back(busy); });
    counter.beginBusy();
    { BusyScope nested(counter); }
    EXPECT_TRUE(counter.busy());
    counter.endBusy();
    counter.endBusy(); // unmatched
    EXPECT_EQ(updates, (std::vector<bool>{true, true, false}));
    counter.beginBusy();
    EXPECT_TRUE(counter.busy());
}
