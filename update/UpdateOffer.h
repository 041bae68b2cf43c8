#pragma once
// What the version check offers once it knows of a newer version, and the
// texts it shows. The formats come from the string table; the rules here
// decide which address is ever handed to the shell or fetched.
#include "update/PadDescription.h"

#include <string>

namespace kelvane {

// "WIN<major>.<minor>.<build>": the system text that messages address.
std::string systemTextFor(unsigned major, unsigned minor, unsigned build);

struct UpdateOffer {
    enum class Kind { RunSetup, OpenWebPage };
    Kind kind = Kind::OpenWebPage;
    std::string address;
};

// Run the setup when the description names a download we may fetch (see
// setupFileNameFor); otherwise open its web page, or productPage when the
// description names none we may open. Addresses that are no http or https
// address never reach the shell: a description could otherwise have us open
// a local program.
UpdateOffer chooseOffer(const PadInfo& info, const std::string& productPage);

// Text 147 filled with the new version, its release day, name and author.
std::string newVersionText(const std::string& format, const PadInfo& info);

// Text 184 filled with the running version and the published one.
std::string versionReportText(const std::string& format, const std::string& currentVersion,
                              const PadInfo& info);

} // namespace kelvane
