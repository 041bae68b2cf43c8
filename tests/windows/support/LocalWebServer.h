#pragma once
// Python's http.server on 127.0.0.1 as the maker's web server, over http and,
// given a certificate and its key, also over https: files in its folder are
// served as they are; a file "<name>.raw" is sent instead as the whole
// answer, so a test can announce a length the body does not have or
// redirect. Every request, a proxy's CONNECT too, is logged as
// "path<TAB>agent<TAB>referrer".
#include <string>
#include <vector>

namespace kelvane::test {

class LocalWebServer {
public:
    // certificate, key: the PEM files for https.
    explicit LocalWebServer(const std::string& certificate = "", const std::string& key = "");
    ~LocalWebServer();
    LocalWebServer(const LocalWebServer&) = delete;
    LocalWebServer& operator=(const LocalWebServer&) = delete;

    bool ready() const { return port_ != 0; }
    bool secureReady() const { return securePort_ != 0; }
    unsigned port() const { return port_; }
    std::string url(const std::string& name) const;
    std::string secureUrl(const std::string& name) const;
    void serveFile(const std::string& name, const std::string& bytes);
    void serveRaw(const std::string& name, const std::string& answer);
    // From now on every request is accepted, logged and never answered.
    void fallSilent();
    // The logged requests for /name; every one for an empty name.
    std::vector<std::string> requestsFor(const std::string& name) const;

private:
    std::string folder_;
    unsigned port_ = 0;
    unsigned securePort_ = 0;
};

} // namespace kelvane::test
