#pragma once
// Python's http.server on 127.0.0.1 as the maker's web server: files in its
// folder are served as they are; a file "<name>.raw" is sent instead as the
// whole answer, so a test can announce a length the body does not have.
// Every request is logged as "path<TAB>agent<TAB>referrer".
#include <string>
#include <vector>

namespace kelvane::test {

class PadServer {
public:
    PadServer();
    ~PadServer();
    PadServer(const PadServer&) = delete;
    PadServer& operator=(const PadServer&) = delete;

    bool ready() const { return port_ != 0; }
    std::string url(const std::string& name) const;
    void serveFile(const std::string& name, const std::string& bytes);
    void serveRaw(const std::string& name, const std::string& answer);
    // The logged requests for /name.
    std::vector<std::string> requestsFor(const std::string& name) const;

private:
    std::string folder_;
    unsigned port_ = 0;
};

} // namespace kelvane::test
