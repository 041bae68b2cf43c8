#include "shell/ListSelection.h"

#include <algorithm>
#include <unordered_map>

namespace kelvane {

PlacedSelection placeSelection(const NamedSelection& kept, const std::vector<std::string>& order) {
    std::unordered_map<std::string, int> indexOf;
    indexOf.reserve(order.size());
    for (int i = 0; i < static_cast<int>(order.size()); ++i) {
        indexOf.emplace(order[i], i);
    }
    auto find = [&indexOf](const std::string& name) {
        auto found = name.empty() ? indexOf.end() : indexOf.find(name);
        return found == indexOf.end() ? -1 : found->second;
    };
    PlacedSelection placed;
    for (const std::string& name : kept.selected) {
        if (int index = find(name); index >= 0) {
            placed.selected.push_back(index);
        }
    }
    std::sort(placed.selected.begin(), placed.selected.end());
    placed.focused = find(kept.focused);
    placed.marked = find(kept.marked);
    placed.top = find(kept.top);
    if (placed.top < 0 && !order.empty()) {
        placed.top = std::clamp(kept.topIndex, 0, static_cast<int>(order.size()) - 1);
    }
    return placed;
}

} // namespace kelvane
