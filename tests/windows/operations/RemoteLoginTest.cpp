// Choosing another computer and logging on to it: the "Connect as" dialog
// driven with real messages and the host field's list; a computer that
// cannot be reached is the main window's test.
#include "operations/win/RemoteLogin.h"
#include "resources/ResourceIds.h"
#include "tests/windows/operations/CommandHarness.h"

using namespace kelvane;
using namespace kelvane::test;

TEST(RemoteLoginTest, ConnectAsOffersTheCurrentUserAndTheHostFieldListsEachHostOnce) {
    TestCommandHost host;
    DialogScript script;
    char current[256] = {};
    DWORD size = sizeof current;
    ASSERT_TRUE(GetUserNameA(current, &size));
    host.appConfig.computerName = "before";
    script.expect("Kelvane - Connect as", [&](HWND dialog) {
        EXPECT_EQ(dialogText(dialog, IDC_CONNECT_USER), current);
        EXPECT_EQ(dialogText(dialog, IDC_CONNECT_HOST), "before");
        setDialogText(dialog, IDC_CONNECT_HOST, "elsewhere");
        click(dialog, IDCANCEL);
    });
    loginAs(host);
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(host.appConfig.computerName, "before");
    EXPECT_EQ(host.appConfig.userName, "") << "an offered name is not taken over";
    EXPECT_EQ(host.saves, 1) << "the controls are read first";

    const auto hostsListed = [&] { return SendMessageA(host.hostField(), CB_GETCOUNT, 0, 0); };
    for (const char* name : {"alpha", "ALPHA", "al", ""}) {
        rememberHost(host.hostField(), name);
    }
    EXPECT_EQ(hostsListed(), 2) << "whole names count, in any letter case";

    selectHost(host, "fileserver");
    EXPECT_EQ(host.appConfig.computerName, "fileserver");
    EXPECT_EQ(dialogText(host.window(), GetDlgCtrlID(host.hostField())), "fileserver");
    EXPECT_EQ(hostsListed(), 3);
    EXPECT_EQ(host.refreshes, 1);
}
