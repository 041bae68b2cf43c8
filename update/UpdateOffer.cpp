#include "update/UpdateOffer.h"

#include "framework/TextFormat.h"
#include "update/SetupSource.h"

namespace kelvane {

std::string systemTextFor(unsigned major, unsigned minor, unsigned build) {
    return Plinth::formatText("WIN%d.%d.%d", major, minor, build);
}

UpdateOffer chooseOffer(const PadInfo& info, const std::string& productPage) {
    if (!setupFileNameFor(info.downloadUrl).empty()) {
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
