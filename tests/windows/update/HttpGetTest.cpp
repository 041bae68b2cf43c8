// The internet library against a scripted one-connection HTTP server on the
// loopback address, so answers that real servers rarely give (a short body,
// no length, a huge length) can be produced on demand.
// winsock2.h must come before windows.h.
#include <winsock2.h>

#include "update/win/HttpGet.h"

#include "framework/Exception.h"

#include <gtest/gtest.h>
#include <wininet.h>

#include <string>
#include <thread>

using namespace kelvane;

namespace {

class OneShotServer {
public:
    explicit OneShotServer(std::string response) : response_(std::move(response)) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener_, 1);
        int length = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~OneShotServer() {
        closesocket(listener_);
        thread_.join();
        WSACleanup();
    }
    std::string url(const std::string& path = "/pad.xml") const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    const std::string& requestText() const { return request_; }

private:
    void serve() {
        SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) {
            return;
        }
        char buffer[4096];
        while (request_.find("\r\n\r\n") == std::string::npos) {
            int got = recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) {
                break;
            }
            request_.append(buffer, static_cast<size_t>(got));
        }
        send(client, response_.data(), static_cast<int>(response_.size()), 0);
        shutdown(client, SD_SEND);
        closesocket(client);
    }

    std::string response_;
    std::string request_;
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::thread thread_;
};

HttpRequest requestFor(const std::string& url) {
    HttpRequest request;
    request.agent = "kelvane 4.6";
    request.address = url;
    request.referrer = "kelvane 4.6 update check WIN10.0.19045";
    request.flags = INTERNET_FLAG_RELOAD;
    return request;
}

} // namespace

TEST(HttpGetTest, AnswerWithItsAnnouncedLengthIsComplete) {
    OneShotServer server("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello");
    std::string body;
    EXPECT_TRUE(httpGet(requestFor(server.url()), body));
    EXPECT_EQ(body, "hello");
    EXPECT_NE(server.requestText().find("GET /pad.xml"), std::string::npos);
    EXPECT_NE(server.requestText().find("User-Agent: kelvane 4.6"), std::string::npos)
        << server.requestText();
    EXPECT_NE(server.requestText().find("Referer: kelvane 4.6 update check WIN10.0.19045"),
              std::string::npos);
}

TEST(HttpGetTest, ShortOrUnannouncedBodies) {
    {
        OneShotServer server("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\ncut off");
        std::string body;
        EXPECT_FALSE(httpGet(requestFor(server.url()), body)) << "fewer bytes than announced";
        EXPECT_EQ(body, "cut off");
    }
    {
        OneShotServer server("HTTP/1.0 200 OK\r\n\r\nno length given");
        std::string body;
        EXPECT_TRUE(httpGet(requestFor(server.url()), body));
        EXPECT_EQ(body, "no length given");
    }
}

TEST(HttpGetTest, MoreThanTheCallerTakesIsRefused) {
    {
        OneShotServer server("HTTP/1.0 200 OK\r\nContent-Length: 5000000\r\n\r\n" +
                             std::string(64, 'x'));
        HttpRequest request = requestFor(server.url());
        request.maxBytes = 1024 * 1024;
        std::string body;
        EXPECT_FALSE(httpGet(request, body));
        EXPECT_TRUE(body.empty()) << "an announced oversize is not read at all";
    }
    {
        OneShotServer server("HTTP/1.0 200 OK\r\n\r\n" + std::string(5000, 'x'));
        HttpRequest request = requestFor(server.url());
        request.maxBytes = 2048;
        std::string body;
        EXPECT_FALSE(httpGet(request, body));
        EXPECT_LE(body.size(), 2048u);
    }
}

TEST(HttpGetTest, AnUnreachableServerRaisesTheLibrarysError) {
    std::string url;
    {
        OneShotServer closed("");
        url = closed.url();
        // Connect once so the server thread ends, then the port is free.
        std::string ignored;
        try {
            httpGet(requestFor(url), ignored);
        } catch (const Plinth::Exception&) {
        }
    }
    std::string body;
    try {
        httpGet(requestFor(url), body);
        ADD_FAILURE() << "no failure for a closed port";
    } catch (const Plinth::Exception& e) {
        EXPECT_GE(e.code(), 12000u) << e.code();
        EXPECT_LT(e.code(), 13000u);
        EXPECT_FALSE(e.getMessage().empty());
    }
}
