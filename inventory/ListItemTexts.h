#pragma once
// What one item of the service list shows: seventeen column texts, taken
// from its entry and what is known of its image file.
#include "inventory/FileDetails.h"
#include "inventory/ServiceEntry.h"

#include <array>
#include <string>

namespace kelvane {

constexpr int listColumnCount = 17;
constexpr int listChangesColumn = 16;
constexpr int listManufacturerColumn = 13;

struct ChangeWords {
    std::string newEntry;     // "new"
    std::string changedEntry; // "changed"
};

using ListItemTexts = std::array<std::string, listColumnCount>;

// details: the image file's, or nullptr while none are known.
ListItemTexts listItemTexts(const ServiceEntry& entry, const FileDetails* details,
                            const ChangeWords& words);

} // namespace kelvane
