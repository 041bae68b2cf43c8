#include "operations/RemoteHost.h"

#include "framework/TextFormat.h"

namespace kelvane {

std::string ipcShareName(const std::string& host) {
    return Plinth::formatText("\\\\%#s\\IPC$", host);
}

std::string offeredUserName(const std::string& configured, bool platformAnswered,
                            const std::string& currentUser) {
    if (!configured.empty()) {
        return configured;
    }
    if (!platformAnswered || currentUser == "SYSTEM") {
        return {};
    }
    return currentUser;
}

} // namespace kelvane
