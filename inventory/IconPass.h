#pragma once
// One pass of the icon updater over the window's entries, and the icon the
// window shows for an entry meanwhile. The platform extracts icons and reads
// file details; which entry gets which icon is decided here.
#include "inventory/FileDetailsMap.h"
#include "inventory/IconCatalog.h"
#include "inventory/ServiceEntries.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kelvane {

// The first small icon of an image file; nothing when it has none.
using IconExtractor = std::function<std::optional<IconImage>(const std::string& path)>;

struct IconPassTools {
    IconCatalog& catalog;
    FileDetailsMap& details;
    IconExtractor extract;
    FileDetailsMap::Reader readDetails;
    bool hostIsLocal = true;
    // Looked at between entries; a stopped pass leaves the rest for later.
    std::function<bool()> stopRequested;
};

// The image list index for entry: its iconIndex once set, else its icon
// class unless its image file has an icon, which is extracted and appended
// the first time the path is met. A failed extraction keeps -1 in the map,
// so the path is tried again for the next entry that needs it. Nothing is
// extracted for a remote computer: its paths are not files of this one.
std::int32_t resolveIcon(const ServiceEntry& entry, const IconPassTools& tools);

// For each entry in the order of the entry numbers: its file details once
// per path, then its icon into its iconIndex. The caller holds the refresh
// lock, so no refresh changes the entries meanwhile; the entries' own lock
// is held only to copy them and to store each result, never while a file is
// read. False when stopped before the end.
bool runIconPass(ServiceEntries& entries, const IconPassTools& tools);

// The icon an item shows before or between passes: the icon class, or the
// icon stored for its image file when the window's image list already holds
// it (shownCount images). An unknown path is entered with -1.
std::int32_t cachedIcon(const ServiceEntry& entry, IconCatalog& catalog, std::int32_t shownCount);

} // namespace kelvane
