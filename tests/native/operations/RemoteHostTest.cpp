// Which user "Connect as" offers, and the share it connects to.
#include "operations/RemoteHost.h"

#include <gtest/gtest.h>

using namespace kelvane;

TEST(RemoteHost, TheConfiguredUserComesFirstThenTheCurrentOneButNeverSystem) {
    EXPECT_EQ(offeredUserName("admin", true, "alice"), "admin");
    EXPECT_EQ(offeredUserName("admin", false, ""), "admin");
    EXPECT_EQ(offeredUserName("", true, "alice"), "alice");
    EXPECT_EQ(offeredUserName("", false, "alice"), "") << "the platform could not answer";
    EXPECT_EQ(offeredUserName("", true, "SYSTEM"), "");
    EXPECT_EQ(ipcShareName("server"), "\\\\server\\IPC$");
}
