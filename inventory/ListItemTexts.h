#pragma once
// What one item of the service list shows: seventeen column texts, taken
// from its entry and what is known of its image file, and the columns after
// them.
#include "inventory/FileDetails.h"
#include "inventory/ServiceEntry.h"

#include <array>
#include <string>

namespace kelvane {

constexpr int listColumnCount = 22;
constexpr int listStatusColumn = 4;
constexpr int listPidColumn = 5;
constexpr int listChangesColumn = 16;
constexpr int listManufacturerColumn = 13;
// After the seventeen, so that the columns before keep their numbers.
constexpr int listDescriptionColumn = 17;
constexpr int listDependenciesColumn = 18;
constexpr int listNeededByColumn = 19;
constexpr int listStartOptionsColumn = 20;
constexpr int listOnFailureColumn = 21;

struct ChangeWords {
    std::string newEntry;     // "new"
    std::string changedEntry; // "changed"
};

using ListItemTexts = std::array<std::string, listColumnCount>;

// details: the image file's, or nullptr while none are known.
ListItemTexts listItemTexts(const ServiceEntry& entry, const FileDetails* details,
                            const ChangeWords& words);

} // namespace kelvane
