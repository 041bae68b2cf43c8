#pragma once
// One HTTP or HTTPS GET through the platform's internet library, used for
// the version description and the setup download.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <mutex>
#include <string>

namespace kelvane {

struct HttpRequest {
    std::string agent;    // "kelvane 4.6"
    std::string address;  // http:// or https://
    std::string referrer; // may be empty
    DWORD flags = 0;      // request flags; certificates are always checked in full
    HWND progressBar = nullptr;
    // Bytes the caller takes at most; a larger answer (announced or
    // received) ends the transfer and counts as incomplete, so a hostile
    // server cannot make us hold more.
    std::size_t maxBytes = static_cast<std::size_t>(-1);
    // Only an answer that came over https counts: the library follows
    // redirections, also from https to http.
    bool secureOnly = false;
};

// How long a transfer waits for the server: to connect, and for each piece
// of an answer (see docs/shutdown.md). A server that accepts and then says
// nothing ends the transfer with the library's time-out error.
constexpr DWORD httpConnectTimeoutMs = 15000;
constexpr DWORD httpReceiveTimeoutMs = 15000;

// Lets another thread end the transfers of one thread at once. While a Scope
// is open on a thread, each transfer there registers its request here;
// cancel closes that request, which ends a call that waits on the server,
// and every later transfer of the scope fails at once with the library's
// "operation cancelled".
class HttpCancel {
public:
    class Scope {
    public:
        explicit Scope(HttpCancel& cancel);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        HttpCancel* outer_;
    };

    void cancel();

    // Used by the transfer: false when cancelled already; release is false
    // when cancel has closed the request meanwhile (it is then not to be
    // closed again).
    bool enter(void* request);
    bool release();
    // The scope open on the calling thread, or nullptr.
    static HttpCancel* current();

private:
    std::mutex lock_;
    void* request_ = nullptr; // the HINTERNET of the transfer under way
    bool cancelled_ = false;
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
