#pragma once
// One HTTP or HTTPS GET through the platform's internet library, used for
// the version description and the setup download.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

namespace kelvane {

struct HttpRequest {
    std::string agent;    // "kelvane 4.6"
    std::string address;  // http:// or https://
    std::string referrer; // may be empty
    DWORD flags = 0;      // request flags; 0x1000 also relaxes certificate checks
    HWND progressBar = nullptr;
    // Bytes the caller takes at most; a larger answer (announced or
    // received) ends the transfer and counts as incomplete, so a hostile
    // server cannot make us hold more.
    std::size_t maxBytes = static_cast<std::size_t>(-1);
    // Only an answer that came over https counts: the library follows
    // redirections, also from https to http.
    bool secureOnly = false;
};

// Appends the body to sink. True when the number of bytes received equals
// the announced length, or when none was announced; false when fewer came,
// maxBytes was exceeded, the server answered with an error status or, with
// secureOnly, from an address that is no https address. Raises LIE when the
// internet library fails.
bool httpGet(const HttpRequest& request, std::string& sink);

// Takes each block as it arrives (a setup goes straight to its file); a sink
// returning false ends the transfer, which then counts as incomplete.
using HttpSink = std::function<bool(const char* data, std::size_t size)>;
bool httpGet(const HttpRequest& request, const HttpSink& sink);

} // namespace kelvane
