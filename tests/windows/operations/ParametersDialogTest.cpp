// The "Service parameters" dialog driven in-process with real messages, and
// the create and edit commands against Wine's manager, read back with
// reg.exe.
#include "operations/win/ParameterCommands.h"
#include "operations/win/ServiceParametersDialog.h"
#include "resources/ResourceIds.h"
#include "tests/windows/operations/CommandHarness.h"
#include "tests/windows/support/Registry.h"

using namespace kelvane;
using namespace kelvane::test;

namespace {

const char caption[] = "Kelvane - Service parameters";

class ParametersDialogTest : public ServiceFixture {
protected:
    TestCommandHost host;
    DialogScript script;
    OwnServiceNames created;
    static std::string command() { return "\"" + TestServices::testServicePath() + "\" --x"; }

    // Runs the dialog alone on record; the record OK left, or the original.
    ServiceParameters runDialog(const ServiceParameters& record, INT_PTR expected = IDOK) {
        ServiceParametersDialog dialog(record);
        EXPECT_EQ(dialog.run(host.window()), expected);
        EXPECT_TRUE(script.finished());
        return dialog.record();
    }
};

} // namespace

TEST_F(ParametersDialogTest, ADisplayNameAloneCreatesAServiceNamedByIt) {
    std::string name = created.next();
    script.expect(caption, [&](HWND dialog) {
        EXPECT_TRUE(enabled(dialog, IDC_PARAM_NAME));
        EXPECT_EQ(dialogText(dialog, IDC_PARAM_ACCOUNT), "LocalSystem");
        EXPECT_EQ(selectedData(dialog, IDC_PARAM_SERVICE_TYPE), 0x10);
        EXPECT_EQ(selectedData(dialog, IDC_PARAM_START_TYPE), 2);
        setDialogText(dialog, IDC_PARAM_DISPLAY_NAME, name);
        setDialogText(dialog, IDC_PARAM_COMMAND, command());
        setDialogText(dialog, IDC_PARAM_ACCOUNT, ".\\someone");
        setDialogText(dialog, IDC_PASSWORD, "secret");
        click(dialog, IDC_PARAM_INTERACTIVE);
        EXPECT_FALSE(enabled(dialog, IDC_PARAM_ACCOUNT));
        EXPECT_FALSE(enabled(dialog, IDC_PASSWORD));
        click(dialog, IDOK);
    });
    createServiceCommand(host);

    EXPECT_TRUE(script.finished());
    auto values = serviceValues(name);
    EXPECT_EQ(values["DisplayName"], name);
    EXPECT_EQ(values["ImagePath"], command());
    EXPECT_EQ(values["Type"], "0x110");
    EXPECT_EQ(values["Start"], "0x2");
    EXPECT_EQ(values["ObjectName"], "LocalSystem") << "an interactive service runs as the system";
    EXPECT_EQ(host.statusWrites,
              std::vector<std::string>{"The service or driver has been installed successfully."});
    EXPECT_EQ(host.refreshes, 1);
}

TEST_F(ParametersDialogTest, ADriverTypeLocksInteractive) {
    script.expect(caption, [&](HWND dialog) {
        setDialogText(dialog, IDC_PARAM_NAME, "drv");
        setDialogText(dialog, IDC_PARAM_COMMAND, "drv.sys");
        click(dialog, IDC_PARAM_INTERACTIVE);
        chooseListItem(dialog, IDC_PARAM_SERVICE_TYPE, 2); // kernel driver
        EXPECT_FALSE(enabled(dialog, IDC_PARAM_INTERACTIVE));
        chooseListItem(dialog, IDC_PARAM_START_TYPE, 0); // boot
        click(dialog, IDOK);
    });
    ServiceParameters driver = runDialog({});
    EXPECT_EQ(driver.serviceType, 0x1u) << "no interactive bit on a driver";
    EXPECT_EQ(driver.startType, 0u);
}

TEST_F(ParametersDialogTest, AValidationFailureIsReportedAndTheDialogStays) {
    AnsweredBoxes boxes(IDOK);
    script.expect(caption, [&](HWND dialog) {
        setDialogText(dialog, IDC_PARAM_COMMAND, "x.exe");
        click(dialog, IDOK);
        EXPECT_TRUE(IsWindowVisible(dialog));
        setDialogText(dialog, IDC_PARAM_NAME, "only-name");
        setDialogText(dialog, IDC_PARAM_COMMAND, "");
        click(dialog, IDOK);
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(dialogText(dialog, IDC_PARAM_DISPLAY_NAME), "only-name")
            << "the completed value shows even when a later check fails";
        click(dialog, IDCANCEL);
    });
    ServiceParameters kept = runDialog({}, IDCANCEL);
    EXPECT_TRUE(kept.name.empty());
    EXPECT_EQ(boxes.boxes.size(), 2u) << "each failed OK is reported";
}

TEST_F(ParametersDialogTest, EditingKeepsTheNameAndNeverShowsThePassword) {
    std::string name = services.create({"--y", "", "Kelvane edit"});
    auto before = serviceValues(name);
    ServiceEntry entry = entryOf(name);
    entry.displayName = "Kelvane edit";
    entry.command = before["ImagePath"];
    entry.account = "LocalSystem";
    entry.startType = SERVICE_DEMAND_START;
    script.expect(caption, [&](HWND dialog) {
        EXPECT_FALSE(enabled(dialog, IDC_PARAM_NAME));
        EXPECT_EQ(dialogText(dialog, IDC_PARAM_NAME), name);
        EXPECT_EQ(dialogText(dialog, IDC_PASSWORD), "");
        EXPECT_EQ(selectedData(dialog, IDC_PARAM_SERVICE_TYPE), 0x10);
        EXPECT_EQ(selectedData(dialog, IDC_PARAM_START_TYPE), 3);
        setDialogText(dialog, IDC_PARAM_DISPLAY_NAME, "Kelvane edited");
        chooseListItem(dialog, IDC_PARAM_START_TYPE, 4); // disabled
        click(dialog, IDOK);
    });
    editServiceCommand(host, entry);

    EXPECT_TRUE(script.finished());
    auto after = serviceValues(name);
    EXPECT_EQ(after["DisplayName"], "Kelvane edited");
    EXPECT_EQ(after["Start"], "0x4");
    EXPECT_EQ(after["ImagePath"], before["ImagePath"]);
    EXPECT_EQ(after["ObjectName"], "LocalSystem");
    EXPECT_EQ(after["Type"], "0x10");
    EXPECT_EQ(host.status, "The service or driver has been changed successfully.");
}

TEST_F(ParametersDialogTest, ARefusedCreationIsReportedAndReopensWithTheValuesEntered) {
    std::string existing = services.create();
    AnsweredBoxes boxes(IDOK);
    script.expect(caption, [&](HWND dialog) {
        setDialogText(dialog, IDC_PARAM_NAME, existing);
        setDialogText(dialog, IDC_PARAM_DISPLAY_NAME, "Second one");
        setDialogText(dialog, IDC_PARAM_COMMAND, command());
        chooseListItem(dialog, IDC_PARAM_START_TYPE, 3);
        click(dialog, IDOK);
    });
    script.expect(caption, [&](HWND dialog) {
        EXPECT_EQ(dialogText(dialog, IDC_PARAM_NAME), existing);
        EXPECT_EQ(dialogText(dialog, IDC_PARAM_DISPLAY_NAME), "Second one");
        EXPECT_EQ(dialogText(dialog, IDC_PARAM_COMMAND), command());
        EXPECT_EQ(selectedData(dialog, IDC_PARAM_START_TYPE), 3);
        click(dialog, IDCANCEL);
    });
    createServiceCommand(host);

    EXPECT_TRUE(script.finished());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find("installing service"), std::string::npos)
        << boxes.boxes[0].text;
    EXPECT_TRUE(host.statusWrites.empty()) << "Cancel leaves the status line alone";
    EXPECT_EQ(host.refreshes, 0);
    EXPECT_NE(serviceValues(existing)["DisplayName"], "Second one");
}

TEST_F(ParametersDialogTest, TheBrowseButtonPutsTheChosenFileIntoTheCommand) {
    std::string path = TestServices::testServicePath();
    std::string shown;
    script.expect(caption, [&](HWND dialog) {
        click(dialog, IDC_PARAM_BROWSE); // runs the file dialog's steps inside
        shown = dialogText(dialog, IDC_PARAM_COMMAND);
        click(dialog, IDCANCEL);
    });
    script.expect("Search executable file", [&](HWND files) {
        SetDlgItemTextA(files, 0x47C, path.c_str()); // the file name box
        SetDlgItemTextA(files, 0x480, path.c_str());
        SendMessageA(files, WM_COMMAND, IDOK, 0);
    });
    runDialog({}, IDCANCEL);
    EXPECT_EQ(shown, path);
}
