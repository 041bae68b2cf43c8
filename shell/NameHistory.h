#pragma once
// The computer and search histories: a name counts as known only when a
// whole entry equals it, ignoring letter case, so "srv1" is recorded beside
// "srv10" while "SRV10" is not recorded twice.
#include <set>
#include <string>

namespace kelvane {

// Adds name unless it is empty or already there; true when added.
bool addToHistory(std::set<std::string>& history, const std::string& name);

} // namespace kelvane
