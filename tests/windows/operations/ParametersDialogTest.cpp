// The "Service parameters" dialog driven in-process with real messages, and
// the create and edit commands against Wine's manager, read back with
// reg.exe. What OK makes of the typed values is ServiceParametersTest's.
#include "operations/win/ParameterCommands.h"
#include "operations/win/ServiceParametersDialog.h"
#include "resources/ResourceIds.h"
#include "tests/windows/operations/CommandHarness.h"
#include "tests/windows/support/Registry.h"

using namespace kelvane;
using namespace kelvane::test;

namespace {

const char caption[] = "Kelvane - Service parameters";

// Chooses item index in a drop-down list and tells the dialog.
void chooseListItem(HWND dialog, int id, int index) {
    HWND list = GetDlgItem(dialog, id);
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), reinterpret_cast<LPARAM>(list));
}

bool enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

class ParametersDialogTest : public ServiceFixture {
protected:
    TestCommandHost host;
    DialogScript script;
};

} // namespace

// A second creation of the same name is refused by the manager; the edit
// then opens the created service.
TEST_F(ParametersDialogTest, ACreatedServiceIsReadBackARefusedOneReopensAndAnEditKeepsTheName) {
    // Named like the fixture's services, so a crashed run's is swept too.
    const std::string created = "kvtest-" + std::to_string(GetCurrentProcessId()) + "-own";
    const std::string command = "\"" + TestServices::testServicePath() + "\" --x";
    AnsweredBoxes boxes(IDOK);
    for (int attempt = 0; attempt < 2; ++attempt) {
        script.expect(caption, [&](HWND dialog) {
            setDialogText(dialog, IDC_PARAM_DISPLAY_NAME, created);
            setDialogText(dialog, IDC_PARAM_COMMAND, command);
            setDialogText(dialog, IDC_PARAM_ACCOUNT, ".\\someone");
            click(dialog, IDC_PARAM_INTERACTIVE);
            EXPECT_FALSE(enabled(dialog, IDC_PARAM_ACCOUNT) || enabled(dialog, IDC_PASSWORD));
            chooseListItem(dialog, IDC_PARAM_START_TYPE, 3);
            click(dialog, IDOK);
        });
    }
    script.expect(caption, [&](HWND dialog) {
        EXPECT_EQ(dialogText(dialog, IDC_PARAM_COMMAND), command);
        click(dialog, IDCANCEL);
    });
    createServiceCommand(host);
    auto values = serviceValues(created);
    EXPECT_EQ(values["Type"], "0x110") << "named by its display name, interactive";
    EXPECT_EQ(values["ErrorControl"], "0x1") << "normal error control";
    EXPECT_EQ(host.status, "The service or driver has been installed successfully.");

    host.statusWrites.clear();
    createServiceCommand(host);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find("installing service"), std::string::npos);
    EXPECT_TRUE(host.statusWrites.empty()) << "Cancel leaves the status line alone";

    ServiceEntry entry = TestCommandHost::entryOf(created);
    entry.command = values["ImagePath"];
    script.expect(caption, [&](HWND dialog) {
        EXPECT_FALSE(enabled(dialog, IDC_PARAM_NAME));
        EXPECT_EQ(dialogText(dialog, IDC_PASSWORD), "");
        setDialogText(dialog, IDC_PARAM_DISPLAY_NAME, "Kelvane edited");
        chooseListItem(dialog, IDC_PARAM_START_TYPE, 4); // disabled
        click(dialog, IDOK);
    });
    editServiceCommand(host, entry);
    EXPECT_TRUE(script.finished());
    values = serviceValues(created);
    EXPECT_EQ(values["DisplayName"], "Kelvane edited");
    EXPECT_EQ(values["Start"], "0x4");
    EXPECT_EQ(host.status, "The service or driver has been changed successfully.");
    services.remove(created);
}

TEST_F(ParametersDialogTest, BrowseFillsTheCommandAFailedCheckStaysAndADriverLocksInteractive) {
    const std::string path = TestServices::testServicePath();
    AnsweredBoxes boxes(IDOK);
    script.expect(caption, [&](HWND dialog) {
        click(dialog, IDC_PARAM_BROWSE); // runs the file dialog's steps inside
        click(dialog, IDOK);
        EXPECT_TRUE(IsWindowVisible(dialog)) << "no name: the typed values stay";
        setDialogText(dialog, IDC_PARAM_NAME, "drv");
        click(dialog, IDC_PARAM_INTERACTIVE);
        chooseListItem(dialog, IDC_PARAM_SERVICE_TYPE, 2); // kernel driver
        EXPECT_FALSE(enabled(dialog, IDC_PARAM_INTERACTIVE));
        click(dialog, IDOK);
    });
    script.expect("Search executable file", [&](HWND files) {
        SetDlgItemTextA(files, 0x47C, path.c_str()); // the file name box
        SetDlgItemTextA(files, 0x480, path.c_str());
        SendMessageA(files, WM_COMMAND, IDOK, 0);
    });
    ServiceParametersDialog dialog({});
    EXPECT_EQ(dialog.run(host.window()), IDOK);
    EXPECT_TRUE(script.finished());
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(dialog.record().command, path);
}
