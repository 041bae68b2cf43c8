#pragma once
// How one enumerated service becomes a row of the reader's table. The
// platform side enumerates and queries; everything it found is handed in
// here, so the rules are the same natively and on Windows.
#include "inventory/RecoveryText.h"
#include "inventory/TableRow.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

// The texts of one read, in the user-interface language.
struct RowTexts {
    std::string starting, stopping, started, pausing, paused;
    std::string automatic, boot, manual, disabled, system;
    std::string kernelDriver, fileSystemDriver, adapter, recognizer;
    std::string ownProcess, sharedProcess, interactive;
    // Of the columns after the seventeen.
    std::string delayed, trigger;
    RecoveryWords recovery;

    // Loads them by string-table number.
    static RowTexts load(const std::function<std::string(unsigned id)>& loadString);
};

// One entry of the enumeration.
struct EnumeratedService {
    std::string serviceName;
    std::string displayName;
    std::uint32_t type = 0;
    std::uint32_t state = 0;
    std::uint32_t processId = 0;
};

// What the service's configuration gives, when it may be read.
struct ServiceConfiguration {
    std::uint32_t startType = 0;
    std::string account;
    std::string command;    // the binary path name as configured
    std::string binaryPath; // the image file resolved from it
    std::vector<std::string> dependencies; // services, and groups with their "+"
    std::string loadOrderGroup;
};

// What the further configuration queries give; a query the system refuses
// leaves its part empty (or false).
struct ServiceExtras {
    std::string description;
    bool delayedStart = false; // counts only for an automatic start
    bool triggerStart = false;
    FailureActions failureActions;
};

struct StateInfo {
    std::string text;
    std::int32_t active = 1; // 1 active, 2 stopped
};

StateInfo stateInfo(const RowTexts& texts, std::uint32_t state);
std::string typeText(const RowTexts& texts, std::uint32_t type);
std::string startText(const RowTexts& texts, std::optional<std::uint32_t> startType);
// 0 kernel driver, 2 file system driver, 4 service, 6 other; plus 1 running.
std::int32_t iconClass(std::uint32_t type, std::uint32_t state);

// What separates the names of a list cell ("Depends on", "Needed by"); the
// list is read back by splitting at it.
constexpr const char* listCellSeparator = ", ";
// Adds one name to a list cell's text.
void appendListItem(std::string& text, std::string_view item);

// "delayed", "trigger", both joined by ", ", or empty.
std::string startOptionsText(const RowTexts& texts, std::optional<std::uint32_t> startType,
                             const ServiceExtras& extras);

// The cells of the service; timeText is the formatted change time of its
// registry key, empty when unknown. The neededBy cell is left empty: it
// comes from the whole table (inventory/NeededBy.h).
TableRow buildServiceRow(const RowTexts& texts, const EnumeratedService& service,
                         const std::optional<ServiceConfiguration>& configuration,
                         const std::string& timeText, const ServiceExtras& extras = {});

} // namespace kelvane
