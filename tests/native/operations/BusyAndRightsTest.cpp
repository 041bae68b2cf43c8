// The busy counter of the main window and the rights bookkeeping of a
// connection.
#include "operations/BusyCounter.h"
#include "operations/ManagerRights.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace kelvane;

TEST(BusyCounter, ButtonsComeBackOnlyWhenTheLastOperationEnds) {
    std::vector<bool> updates;
    BusyCounter counter([&](bool busy) { updates.push_back(busy); });
    counter.beginBusy();
    counter.beginBusy();
    counter.endBusy();
    EXPECT_TRUE(counter.busy());
    counter.endBusy();
    EXPECT_FALSE(counter.busy());
    EXPECT_EQ(updates, (std::vector<bool>{true, true, false}));

    counter.endBusy(); // unmatched
    counter.beginBusy();
    counter.endBusy();
    EXPECT_FALSE(counter.busy());
}

TEST(BusyCounter, ScopeEndsBusyWhenTheOperationThrows) {
    BusyCounter counter(nullptr);
    try {
        BusyScope scope(counter);
        EXPECT_TRUE(counter.busy());
        throw std::runtime_error("failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(counter.busy());
}

TEST(ManagerRights, OverlappingRightsKeepTheHandleDisjointOnesReopen) {
    ManagerRights rights;
    EXPECT_TRUE(rights.request(managerRight::connectAndEnumerate));
    EXPECT_FALSE(rights.request(managerRight::enumerate)) << "4 overlaps 5";
    EXPECT_TRUE(rights.request(managerRight::createService));
    EXPECT_EQ(rights.recorded(), 7u);
    EXPECT_FALSE(rights.request(managerRight::createService));
    rights.forget();
    EXPECT_TRUE(rights.request(managerRight::enumerate));
}
