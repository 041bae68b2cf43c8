// Telling this computer from another one by the name typed into the host field.
#include "inventory/win/HostInfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

using namespace kelvane;

TEST(HostInfoTest, TheLocalNameInAnyCaseIsLocalAndARemoteOneKeepsTheWindowsFolder) {
    WinsockSession sockets;
    std::string upper = localHostName();
    ASSERT_FALSE(upper.empty());
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return std::toupper(c); });
    HostInfo info;
    for (const std::string& typed :
         {localHostName(), upper, std::string("LocalHost"), std::string(".")}) {
        info.host = typed;
        classifyHost(info);
        EXPECT_TRUE(info.isLocal) << typed;
        EXPECT_FALSE(info.windowsDir.empty());
        EXPECT_EQ(info.windowsDir.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos);
    }
    const std::string windowsDir = info.windowsDir;
    info.host = "no-such-host.invalid";
    classifyHost(info);
    EXPECT_FALSE(info.isLocal);
    EXPECT_EQ(info.windowsDir, windowsDir);
}
