// Choosing another computer and logging on to it: the "Connect as" dialog
// driven with real messages and the host field's list; a computer that does
// not exist is the main window's test.
#include "operations/win/RemoteLogin.h"
#include "resources/ResourceIds.h"
#include "tests/windows/operations/CommandHarness.h"

using namespace kelvane;
using namespace kelvane::test;

namespace {

const char caption[] = "Kelvane - Connect as";

class RemoteLoginTest : public ::testing::Test {
protected:
    TestCommandHost host;
    DialogScript script;

    std::vector<std::string> hostList() {
        std::vector<std::string> entries;
        HWND field = host.hostField();
        LRESULT count = SendMessageA(field, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[256] = {};
            SendMessageA(field, CB_GETLBTEXT, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(text));
            entries.push_back(text);
        }
        return entries;
    }
    static std::string currentUser() {
        char name[256] = {};
        DWORD size = sizeof name;
        return GetUserNameA(name, &size) && std::string(name) != "SYSTEM" ? name : "";
    }
};

} // namespace

TEST_F(RemoteLoginTest, TheDialogOffersTheConfiguredOrCurrentUserAndCancelKeepsTheConfiguration) {
    host.appConfig.computerName = "before";
    for (const std::string& configured : {std::string(), std::string("admin")}) {
        host.appConfig.userName = configured;
        host.appConfig.password = configured.empty() ? "" : "pw";
        script.expect(caption, [&](HWND dialog) {
            EXPECT_EQ(dialogText(dialog, IDC_CONNECT_USER),
                      configured.empty() ? currentUser() : configured);
            EXPECT_EQ(dialogText(dialog, IDC_PASSWORD), host.appConfig.password);
            EXPECT_EQ(dialogText(dialog, IDC_CONNECT_HOST), "before");
            setDialogText(dialog, IDC_CONNECT_HOST, "elsewhere");
            click(dialog, IDCANCEL);
        });
        loginAs(host);
        EXPECT_TRUE(script.finished());
        EXPECT_EQ(host.appConfig.computerName, "before");
        EXPECT_EQ(host.appConfig.userName, configured) << "an offered name is not taken over";
    }
    EXPECT_EQ(host.saves, 2) << "the controls are read first";
    EXPECT_EQ(host.refreshes, 0);
}

TEST_F(RemoteLoginTest, TheHostFieldListsEachHostOnceAndASelectedHostIsRead) {
    rememberHost(host.hostField(), "alpha");
    rememberHost(host.hostField(), "ALPHA");
    rememberHost(host.hostField(), "al");
    rememberHost(host.hostField(), "");
    EXPECT_EQ(hostList(), (std::vector<std::string>{"al", "alpha"}))
        << "whole names count, in any letter case";

    selectHost(host, "fileserver");
    EXPECT_EQ(host.appConfig.computerName, "fileserver");
    char shown[64] = {};
    GetWindowTextA(host.hostField(), shown, sizeof shown);
    EXPECT_STREQ(shown, "fileserver");
    EXPECT_EQ(hostList(), (std::vector<std::string>{"fileserver", "al", "alpha"}));
    EXPECT_EQ(host.refreshes, 1);
}
