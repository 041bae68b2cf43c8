#pragma once
// Which computer a read is for, and whether it is this one.
#include <string>

namespace kelvane {

// The socket layer, started for as long as the object lives, so the local
// host name can be asked for.
class WinsockSession {
public:
    WinsockSession();
    ~WinsockSession();
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;

private:
    bool started_ = false;
};

struct HostInfo {
    std::string windowsDir; // lower case; set only for the local computer
    std::string host;       // as entered; empty means this computer
    bool isLocal = true;
};

// This computer's network name; empty when the socket layer cannot tell.
std::string localHostName();

// Sets isLocal from the host name, and windowsDir when it is local.
void classifyHost(HostInfo& info);

} // namespace kelvane
