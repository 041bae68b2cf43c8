// Installing, removing and uninstalling, read back from Wine's registry and
// through the shell's own link object. Every test removes what it made; the
// tests' environment keeps Wine's menu builder from copying the shortcuts
// into the host's menus (tests/CMakeLists.txt). Which values and paths the
// plan holds is InstallationPlan's native test.
#include "framework/win/ModuleResources.h"
#include "framework/win/UniqueHandle.h"
#include "resources/ResourceIds.h"
#include "shell/InstallationPlan.h"
#include "shell/win/AdminRights.h"
#include "shell/win/Installation.h"
#include "shell/win/TrayWindow.h"
#include "tests/windows/support/DialogScript.h"
#include "tests/windows/support/PendingOperations.h"
#include "tests/windows/support/Registry.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TrayInstances.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

using namespace kelvane;
using namespace kelvane::test;

namespace {

// The target and arguments of a shortcut; empty when it cannot be read.
std::string readShortcut(const std::string& path) {
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    char target[MAX_PATH] = {}, arguments[MAX_PATH] = {};
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(std::wstring(path.begin(), path.end()).c_str(), STGM_READ))) {
        link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
        link->GetArguments(arguments, MAX_PATH);
    }
    for (IUnknown* object : std::initializer_list<IUnknown*>{file, link}) {
        if (object) {
            object->Release();
        }
    }
    CoUninitialize();
    return *target ? lowerCase(target) + " " + arguments : "";
}

class InstallationTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(endAllTrayInstances()); }
    void TearDown() override {
        removeInstalled(productName);
        endAllTrayInstances();
    }
};

} // namespace

// The tray instances hide, count and end with 0 on Exit and on the close
// request that remove sends.
TEST_F(InstallationTest, InstallRegistersMakesBothShortcutsAndStartsTheTrayAndRemoveUndoesIt) {
    const std::string program = programPath("kelvane.exe");
    ASSERT_EQ(runProcess("\"" + program + "\" -install"), 0);
    // The product's name in the list of installed programs, as reg.exe reads it.
    const std::string uninstallKey = "HKLM\\" + uninstallKeyPath(productName);
    EXPECT_EQ(regQuery(uninstallKey)["DisplayName"], "Kelvane");
    const std::string menuLink = shortcutPath(specialFolder(CSIDL_PROGRAMS), productName);
    const std::string startLink = shortcutPath(specialFolder(CSIDL_COMMON_STARTUP), productName);
    EXPECT_EQ(readShortcut(menuLink), lowerCase(program) + " ");
    EXPECT_EQ(readShortcut(startLink), lowerCase(program) + " -tray");

    EXPECT_TRUE(waitUntil([] { return countTrayInstances() == 1; })) << "the tray instance runs";
    Plinth::UniqueHandleObject another = startTrayProcess();
    // A third started elevated, as the relaunch does: its parameters arrive.
    ASSERT_TRUE(startElevated(program, " -swe -tray", nullptr));
    EXPECT_FALSE(startElevated(programPath("no-such-program.exe"), " -eng", nullptr));
    ASSERT_TRUE(waitUntil([] { return countTrayInstances() == 3; }));
    const std::vector<HWND> trays = trayServiceWindows();
    ASSERT_EQ(trays.size(), 3u);
    EXPECT_FALSE(IsWindowVisible(trays[0]) || IsWindowVisible(trays[1])) << "only an icon";
    PostMessageA(trays[0], WM_COMMAND, ID_EXIT, 0);
    EXPECT_TRUE(waitUntil([] { return countTrayInstances() == 2; })) << "Exit ends one";

    ASSERT_EQ(runProcess("\"" + program + "\" -remove"), 0);
    EXPECT_EQ(regQuery(uninstallKey)["DisplayName"], "");
    EXPECT_FALSE(pathExists(menuLink) || pathExists(startLink));
    EXPECT_TRUE(waitUntil([] { return countTrayInstances() == 0; })) << "remove closes every tray";
    DWORD code = 1;
    EXPECT_EQ(WaitForSingleObject(another.get(), 30000), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeProcess(another.get(), &code) && code == 0) << code;
    EXPECT_TRUE(pathExists(program)) << "remove leaves the program file";
}

// The command line's -uninstall runs this; the native CommandLine test reads it.
TEST_F(InstallationTest, UninstallAsksFirstThenSchedulesTheProgramAndItsFolder) {
    Plinth::setResourceModule(GetModuleHandleA(nullptr));
    PendingOperations pending;
    // A program folder of its own with a program and a help file.
    const std::string folder = scratchPath("install");
    const std::string program = pathInFolder(folder, "kelvane.exe");
    const std::string helpFile = pathInFolder(folder, helpFileName);
    CreateDirectoryA(folder.c_str(), nullptr);
    writeBytes(program, "MZ");
    writeBytes(helpFile, "help");
    AnsweredBoxes boxes(IDNO);
    EXPECT_FALSE(uninstall(productName, program));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].style & MB_TYPEMASK, static_cast<UINT>(MB_YESNO)) << "a question";
    EXPECT_TRUE(pathExists(helpFile));
    EXPECT_FALSE(anyEntryEndsWith(pending.entries(), program));

    boxes.answer = IDYES;
    EXPECT_TRUE(uninstall(productName, program));
    EXPECT_EQ(boxes.boxes.size(), 3u) << "the question and the report";
    EXPECT_FALSE(pathExists(helpFile));
    const std::vector<std::string> entries = pending.entries();
    EXPECT_TRUE(anyEntryEndsWith(entries, program) && anyEntryEndsWith(entries, folder));
    DeleteFileA(program.c_str());
    RemoveDirectoryA(folder.c_str());
}
