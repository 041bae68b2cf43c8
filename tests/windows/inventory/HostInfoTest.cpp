// Telling this computer from another one by the name typed into the host
// field. Which names mean this computer is pinned natively (isLocalHost in
// RowBuilderTest); here the real name comes from Winsock.
#include "inventory/win/HostInfo.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace kelvane;

TEST(HostInfoTest, TheLocalNameInAnyCaseIsLocalAndARemoteOneKeepsTheWindowsFolder) {
    WinsockSession sockets;
    HostInfo info;
    info.host = localHostName();
    ASSERT_FALSE(info.host.empty());
    CharUpperA(info.host.data());
    classifyHost(info);
    EXPECT_TRUE(info.isLocal) << info.host;
    EXPECT_FALSE(info.windowsDir.empty());
    EXPECT_EQ(info.windowsDir.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos);

    const std::string windowsDir = info.windowsDir;
    info.host = "no-such-host.invalid";
    classifyHost(info);
    EXPECT_FALSE(info.isLocal);
    EXPECT_EQ(info.windowsDir, windowsDir);
}
