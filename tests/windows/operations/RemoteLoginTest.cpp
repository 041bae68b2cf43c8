// Choosing another computer and logging on to it: the "Connect as" dialog
// driven with real messages, the host field's list, and the connection to a
// computer that does not exist through Wine's networking.
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

TEST_F(RemoteLoginTest, AComputerThatDoesNotExistIsReportedAndNothingElseChanges) {
    rememberHost(host.hostField(), "earlier");
    AnsweredBoxes boxes(IDOK);
    script.expect(caption, [&](HWND dialog) {
        setDialogText(dialog, IDC_CONNECT_HOST, "kvtest-no-such-computer");
        setDialogText(dialog, IDC_CONNECT_USER, "someone");
        setDialogText(dialog, IDC_PASSWORD, "secret");
        click(dialog, IDOK);
    });
    loginAs(host);

    EXPECT_TRUE(script.finished());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Exception");
    const std::string& report = boxes.boxes[0].text;
    EXPECT_NE(report.find("connecting to remote computer"), std::string::npos) << report;
    EXPECT_NE(report.find("\\\\kvtest-no-such-computer\\IPC$"), std::string::npos) << report;
    EXPECT_EQ(host.refreshes, 0);
    EXPECT_EQ(host.loads, 0);
    EXPECT_EQ(host.detailClears, 0) << "the details still belong to the computer shown";
    EXPECT_EQ(hostList(), std::vector<std::string>{"earlier"});
    EXPECT_EQ(host.appConfig.userName, "someone") << "what OK took stays for the next try";
    EXPECT_EQ(host.appConfig.computerName, "") << "the computer changes only once reached";
}

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
