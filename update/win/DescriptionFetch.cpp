#include "update/win/DescriptionFetch.h"

#include "update/win/HttpGet.h"

#include <wininet.h>

namespace kelvane {

bool readDescription(PadInfo& info, const std::string& address, const std::string& agent,
                     const std::string& systemText) {
    HttpRequest request;
    request.agent = agent;
    request.address = address;
    request.referrer = agent + " update check " + systemText;
    request.flags = INTERNET_FLAG_RELOAD; // always from the server, never a cache
    request.maxBytes = maxDescriptionBytes;
    std::string bytes;
    if (!httpGet(request, bytes)) {
        return false;
    }
    std::optional<PadInfo> read = parsePadDescription(bytes);
    if (!read) {
        return false;
    }
    info = std::move(*read);
    return true;
}

} // namespace kelvane
