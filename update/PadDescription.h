#pragma once
// The maker's published version description (a PAD file) and what the
// program makes of it: the newest version, its download, and messages
// addressed to this version or this system.
#include "framework/SystemTime.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

struct PadMessage {
    std::string version; // empty: for every version
    std::string id;      // empty: for every system
    std::string text;
};

struct PadInfo {
    std::string programName;
    std::string programVersion;
    Plinth::SystemTime releaseDate; // year, month and day; time of day 0
    std::string webPage;            // the product's page, offered when there is no download
    std::string downloadUrl;
    std::string authorFirstName;
    std::string authorLastName;
    std::vector<PadMessage> messages;
};

// A description larger than this is refused unread: the bytes come from the
// network and a hostile server must not exhaust our memory.
constexpr std::size_t maxDescriptionBytes = 1024 * 1024;

// The description from the fetched bytes; nothing when they are too many,
// do not parse, or lack the root element "XML_DIZ_INFO".
std::optional<PadInfo> parsePadDescription(std::string_view bytes);

// The texts of the messages for this version and system, in order,
// separated by blank lines; empty when none applies.
std::string selectMessages(const PadInfo& info, const std::string& currentVersion,
                           const std::string& systemText);

bool isUpToDate(const PadInfo& info, const std::string& currentVersion);

// Only plain web addresses are followed for a download: "http://" or
// "https://" with a host, in any letter case.
bool isFollowableDownloadUrl(std::string_view url);

} // namespace kelvane
