#pragma once
// What the user chose in the service list, held by service name: the list
// is rebuilt and re-sorted after every refresh, so a row number would name
// another service afterwards, and the next Stop would hit that one.
#include <string>
#include <vector>

namespace kelvane {

struct NamedSelection {
    std::vector<std::string> selected;
    std::string focused; // empty: no item had the focus
    std::string marked;  // the selection mark (where Shift+click extends from)
    std::string top;     // the first service in view
    int topIndex = -1;   // where that was, for when it has left the list
};

struct PlacedSelection {
    std::vector<int> selected; // ascending
    int focused = -1;
    int marked = -1;
    int top = -1; // the item to scroll to the top; -1 for an empty list
};

// The places of the remembered services in a list that now holds order
// (service names by index). Services no longer listed drop out of the
// selection; the stretch in view stays where it was when its first service
// has gone.
PlacedSelection placeSelection(const NamedSelection& kept, const std::vector<std::string>& order);

} // namespace kelvane
