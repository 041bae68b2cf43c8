#pragma once
// Which service entries the list shows: type, state and maker filters and
// the search text.
#include "inventory/FileDetails.h"
#include "inventory/ServiceEntry.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvane {

// Service type bits of the type filter choices.
constexpr std::uint32_t typeOwnProcess = 0x10;
constexpr std::uint32_t typeSharedProcess = 0x20;
constexpr std::uint32_t typeAllServices = 0x30;
constexpr std::uint32_t typeKernelDrivers = 0x01;
constexpr std::uint32_t typeFileSystemDrivers = 0x02;
// Kernel, file system and recognizer drivers; adapters (0x04) never show.
constexpr std::uint32_t typeAllDrivers = 0x0B;

struct FilterSettings {
    std::uint32_t typeMask = typeAllServices;
    std::uint32_t activeMask = 3; // 1 active, 2 stopped
    bool showMicrosoft = true;
    std::string searchText;
};

// The type mask of the two check boxes and their combo box items (0, 1, 2
// in the order own/shared/all services and kernel/file system/all
// drivers). An unchecked box, or an item outside 0 to 2, adds nothing.
std::uint32_t typeMaskFor(bool servicesChecked, int servicesItem, bool driversChecked,
                          int driversItem);

std::uint32_t activeMaskFor(bool activeChecked, bool inactiveChecked);

// The manufacturer text of an image file made by Microsoft.
bool isMicrosoftMaker(std::string_view manufacturer);

// The pattern a search text is matched with: found anywhere in a text.
std::string searchPattern(std::string_view searchText);

// details: what is known of the entry's image file, or nullptr.
bool passesFilter(const ServiceEntry& entry, const FilterSettings& settings,
                  const FileDetails* details);

} // namespace kelvane
