#include "inventory/win/HostInfo.h"

#include "inventory/HostName.h"
#include "inventory/win/ImagePathSearch.h"

#include <winsock2.h>

namespace kelvane {

WinsockSession::WinsockSession() {
    WSADATA data;
    started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

WinsockSession::~WinsockSession() {
    if (started_) {
        WSACleanup();
    }
}

std::string localHostName() {
    char name[260] = {};
    if (gethostname(name, sizeof name - 1) != 0) {
        return {};
    }
    return name;
}

void classifyHost(HostInfo& info) {
    info.isLocal = info.host.empty() || isLocalHost(info.host, localHostName());
    if (info.isLocal) {
        info.windowsDir = lowerCaseWindowsDirectory();
    }
}

} // namespace kelvane
