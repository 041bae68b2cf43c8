// The internet library against a scripted one-connection HTTP server on the
// loopback address, so answers that real servers rarely give (a short body,
// no length, a huge length) can be produced on demand.
// First: it brings winsock2.h, which must come before windows.h.
#include "tests/windows/support/LoopbackHttpServer.h"

#include "update/win/DescriptionFetch.h"
#include "update/win/HttpGet.h"

#include "framework/Exception.h"

#include <gtest/gtest.h>
#include <wininet.h>

#include <string>

using namespace kelvane;
using kelvane::test::LoopbackHttpServer;

namespace {

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
    LoopbackHttpServer server("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello");
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
        LoopbackHttpServer server("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\ncut off");
        std::string body;
        EXPECT_FALSE(httpGet(requestFor(server.url()), body)) << "fewer bytes than announced";
        EXPECT_EQ(body, "cut off");
    }
    {
        LoopbackHttpServer server("HTTP/1.0 200 OK\r\n\r\nno length given");
        std::string body;
        EXPECT_TRUE(httpGet(requestFor(server.url()), body));
        EXPECT_EQ(body, "no length given");
    }
}

TEST(HttpGetTest, MoreThanTheCallerTakesIsRefused) {
    {
        LoopbackHttpServer server("HTTP/1.0 200 OK\r\nContent-Length: 5000000\r\n\r\n" +
                                  std::string(64, 'x'));
        HttpRequest request = requestFor(server.url());
        request.maxBytes = 1024 * 1024;
        std::string body;
        EXPECT_FALSE(httpGet(request, body));
        EXPECT_TRUE(body.empty()) << "an announced oversize is not read at all";
    }
    {
        LoopbackHttpServer server("HTTP/1.0 200 OK\r\n\r\n" + std::string(5000, 'x'));
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
        LoopbackHttpServer closed("");
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

TEST(ReadDescriptionTest, ReadsThePublishedVersionOverHttp) {
    std::string pad =
        "<?xml version=\"1.0\"?><XML_DIZ_INFO><Program_Info><Program_Name>Kelvane</Program_Name>"
        "<Program_Version>4.7</Program_Version></Program_Info></XML_DIZ_INFO>";
    LoopbackHttpServer server("HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(pad.size()) +
                              "\r\n\r\n" + pad);
    PadInfo info;
    ASSERT_TRUE(readDescription(info, server.url(), "kelvane 4.6", "WIN10.0.19045"));
    EXPECT_EQ(info.programVersion, "4.7");
    EXPECT_FALSE(isUpToDate(info, "4.6"));
    EXPECT_NE(server.requestText().find("Referer: kelvane 4.6 update check WIN10.0.19045"),
              std::string::npos);
}

TEST(ReadDescriptionTest, AnErrorPageIsNoDescription) {
    LoopbackHttpServer server("HTTP/1.0 200 OK\r\n\r\n<html>maintenance</html>");
    PadInfo info;
    EXPECT_FALSE(readDescription(info, server.url(), "kelvane 4.6", "WIN10.0.19045"));
}
