#include "update/UpdateOffer.h"

#include "framework/TextFormat.h"

namespace kelvane {

std::string systemTextFor(unsigned major, unsigned minor, unsigned build) {
    return Plinth::formatText("WIN%d.%d.%d", major, minor, build);
}

std::string setupFileName(std::string_view urlPath) {
    size_t slash = urlPath.rfind('/');
    if (slash == std::string_view::npos) {
        return {};
    }
    std::string_view name = urlPath.substr(slash + 1);
    // The platform drops trailing dots and blanks, so these would name the
    // folder itself or its parent.
    if (name.find_first_not_of(". ") == std::string_view::npos) {
        return {};
    }
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 ||
            std::string_view("<>:\"\\|?*").find(c) != std::string_view::npos) {
            return {};
        }
    }
    return std::string(name);
}

UpdateOffer chooseOffer(const PadInfo& info, const std::string& productPage) {
    if (isFollowableDownloadUrl(info.downloadUrl)) {
        return {UpdateOffer::Kind::RunSetup, info.downloadUrl};
    }
    return {UpdateOffer::Kind::OpenWebPage,
            isFollowableDownloadUrl(info.webPage) ? info.webPage : productPage};
}

namespace {

// The release day as published: it is a calendar date, not a moment, so it
// is not moved into the local time zone (which could show the day before).
std::string releaseDayText(const PadInfo& info) {
    return Plinth::formatText("%D", info.releaseDate);
}

} // namespace

std::string newVersionText(const std::string& format, const PadInfo& info) {
    return Plinth::formatText(format.c_str(), info.programVersion, releaseDayText(info),
                              info.programName, info.authorFirstName, info.authorLastName);
}

std::string versionReportText(const std::string& format, const std::string& currentVersion,
                              const PadInfo& info) {
    return Plinth::formatText(format.c_str(), currentVersion, info.programName, info.programVersion,
                              releaseDayText(info));
}

} // namespace kelvane
