#pragma once
// A one-connection HTTP server on the loopback address that answers with a
// scripted response, so tests can produce answers real servers rarely give.
#include <winsock2.h>

#include <string>
#include <thread>

namespace kelvane::test {

// A socket listening on a free port of the loopback address (Winsock
// started); port becomes that port.
SOCKET listenOnLoopback(unsigned short& port, int backlog = 1);

class LoopbackHttpServer {
public:
    explicit LoopbackHttpServer(std::string response);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    std::string url(const std::string& path = "/pad.xml") const;
    // The request as received, once the answer has been sent.
    const std::string& requestText() const { return request_; }

private:
    void serve();

    std::string response_;
    std::string request_;
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::thread thread_;
};

} // namespace kelvane::test
