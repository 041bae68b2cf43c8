#include "shell/NameHistory.h"

#include "inventory/HostName.h"

#include <algorithm>

namespace kelvane {

bool addToHistory(std::set<std::string>& history, const std::string& name) {
    if (name.empty() ||
        std::any_of(history.begin(), history.end(),
                    [&name](const std::string& known) { return sameHostName(known, name); })) {
        return false;
    }
    history.insert(name);
    return true;
}

} // namespace kelvane
