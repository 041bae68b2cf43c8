// The user's choice in the service list, carried by service name across a
// rebuild that reorders the list, and the histories of names.
#include "shell/ListSelection.h"
#include "shell/NameHistory.h"

#include <gtest/gtest.h>

using namespace kelvane;

TEST(ListSelection, FollowsTheServicesIntoTheNewOrderAndALostTopKeepsItsPlace) {
    NamedSelection kept;
    kept.selected = {"spooler", "gone", "w32time", "added"};
    kept.focused = "w32time";
    kept.marked = "spooler";
    kept.top = "dnscache";
    kept.topIndex = 3;
    // Sorted by state while a state changed, one service added, one removed.
    const std::vector<std::string> order = {"added", "w32time", "dnscache", "spooler", "zz"};
    PlacedSelection placed = placeSelection(kept, order);
    EXPECT_EQ(placed.selected, (std::vector<int>{0, 1, 3}))
        << "the gone service leaves the selection";
    EXPECT_EQ(placed.focused, 1);
    EXPECT_EQ(placed.marked, 3);
    EXPECT_EQ(placed.top, 2);

    // Nothing chosen stays nothing, and a lost top keeps its place.
    kept = NamedSelection();
    kept.top = "gone";
    kept.topIndex = 7;
    placed = placeSelection(kept, {"a", "b", "c"});
    EXPECT_TRUE(placed.selected.empty());
    EXPECT_EQ(placed.focused, -1);
    EXPECT_EQ(placed.marked, -1);
    EXPECT_EQ(placed.top, 2) << "as near to where it was as the list allows";
    EXPECT_EQ(placeSelection(kept, {}).top, -1);
}

TEST(NameHistory, WholeNamesIgnoringCase) {
    std::set<std::string> history{"srv10"};
    EXPECT_TRUE(addToHistory(history, "srv1")) << "the beginning of a known name is another name";
    EXPECT_FALSE(addToHistory(history, "SRV10"));
    EXPECT_FALSE(addToHistory(history, ""));
    EXPECT_EQ(history, (std::set<std::string>{"srv1", "srv10"}));
}
