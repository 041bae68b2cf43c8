#include "inventory/RowFilter.h"

#include "inventory/WildcardMatch.h"

namespace kelvane {

namespace {

std::uint32_t choice(const std::uint32_t (&masks)[3], int item) {
    return item >= 0 && item < 3 ? masks[item] : 0;
}

} // namespace

std::uint32_t typeMaskFor(bool servicesChecked, int servicesItem, bool driversChecked,
                          int driversItem) {
    static const std::uint32_t services[3] = {typeOwnProcess, typeSharedProcess, typeAllServices};
    static const std::uint32_t drivers[3] = {typeKernelDrivers, typeFileSystemDrivers,
                                             typeAllDrivers};
    return (driversChecked ? choice(drivers, driversItem) : 0) |
           (servicesChecked ? choice(services, servicesItem) : 0);
}

std::uint32_t activeMaskFor(bool activeChecked, bool inactiveChecked) {
    return (activeChecked ? 1u : 0u) | (inactiveChecked ? 2u : 0u);
}

bool isMicrosoftMaker(std::string_view manufacturer) {
    return manufacturer.substr(0, 14) == "Microsoft Corp";
}

std::string searchPattern(std::string_view searchText) {
    std::string pattern;
    pattern.reserve(searchText.size() + 2);
    pattern += '*';
    pattern += searchText;
    pattern += '*';
    return pattern;
}

bool passesFilter(const ServiceEntry& entry, const FilterSettings& settings,
                  const FileDetails* details) {
    if ((static_cast<std::uint32_t>(entry.type) & settings.typeMask) == 0) {
        return false;
    }
    if ((static_cast<std::uint32_t>(entry.active) & settings.activeMask) == 0) {
        return false;
    }
    if (!settings.showMicrosoft && details && isMicrosoftMaker(details->manufacturer)) {
        return false;
    }
    if (settings.searchText.empty()) {
        return true;
    }
    const std::string pattern = searchPattern(settings.searchText);
    for (const SharedText* text :
         {&entry.displayName, &entry.serviceName, &entry.account, &entry.command, &entry.timeText,
          &entry.description, &entry.dependencies, &entry.neededBy, &entry.startOptions,
          &entry.onFailure}) {
        if (wildcardMatch(text->view(), pattern)) {
            return true;
        }
    }
    if (details) {
        for (const std::string* text :
             {&details->fileTime, &details->version, &details->language, &details->manufacturer,
              &details->description, &details->comment}) {
            if (wildcardMatch(*text, pattern)) {
                return true;
            }
        }
    }
    return false;
}

} // namespace kelvane
