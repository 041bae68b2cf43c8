// Telling this computer from another one by the name typed into the host field.
#include "inventory/win/HostInfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

using namespace kelvane;

TEST(HostInfoTest, TheLocalNameInAnyCaseIsLocal) {
    WinsockSession sockets;
    std::string name = localHostName();
    ASSERT_FALSE(name.empty());
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return std::toupper(c); });
    for (const std::string& typed : {name, upper, std::string("LocalHost"), std::string(".")}) {
        HostInfo info;
        info.host = typed;
        classifyHost(info);
        EXPECT_TRUE(info.isLocal) << typed;
        EXPECT_FALSE(info.windowsDir.empty());
        EXPECT_EQ(info.windowsDir.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos);
    }
}

TEST(HostInfoTest, ARemoteNameKeepsTheEarlierWindowsFolder) {
    WinsockSession sockets;
    HostInfo info;
    info.host = ".";
    classifyHost(info);
    std::string windowsDir = info.windowsDir;
    info.host = "no-such-host.invalid";
    classifyHost(info);
    EXPECT_FALSE(info.isLocal);
    EXPECT_EQ(info.windowsDir, windowsDir);
}
