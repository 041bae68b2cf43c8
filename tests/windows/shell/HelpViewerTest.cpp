// F1 loads the system's help control, whatever library the registry's
// classes name for it: an elevated run must not load one that the current
// user's own classes (writable by any unelevated program) put there.
#include "shell/win/HelpViewer.h"
#include "tests/windows/support/TestPaths.h"

#include "framework/win/UniqueHandle.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

using namespace kelvane;
using namespace kelvane::test;

namespace {

const char helpControlServer[] =
    "Software\\Classes\\CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string defaultValue(HKEY root) {
    char value[MAX_PATH] = {};
    DWORD size = sizeof value;
    RegGetValueA(root, helpControlServer, nullptr, RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}

void setDefaultValue(HKEY root, const std::string& value) {
    RegSetKeyValueA(root, helpControlServer, nullptr, REG_SZ, value.c_str(),
                    static_cast<DWORD>(value.size() + 1));
}

} // namespace

TEST(HelpViewerTest, F1LoadsTheSystemsHelpControlNotTheOneTheClassesName) {
    // A library that is no help control: one of our programs, renamed.
    const std::string planted = binaryFolder() + "kelvane-planted-help.ocx";
    ASSERT_TRUE(
        CopyFileA(programPath("kelvane-version-sample.exe").c_str(), planted.c_str(), FALSE));
    // Windows reads the per-user entry first through HKEY_CLASSES_ROOT. Wine 8
    // does not merge per-user classes into it, so the machine's entry, which
    // is what its HKEY_CLASSES_ROOT shows, names the planted library too.
    setDefaultValue(HKEY_CURRENT_USER, planted);
    const std::string machineEntry = defaultValue(HKEY_LOCAL_MACHINE);
    setDefaultValue(HKEY_LOCAL_MACHINE, planted);

    Plinth::UniqueWindow owner(CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 100, 100,
                                               nullptr, nullptr, nullptr, nullptr));
    showHelpContents(owner.get()); // what F1 runs

    setDefaultValue(HKEY_LOCAL_MACHINE, machineEntry);
    RegDeleteTreeA(HKEY_CURRENT_USER,
                   "Software\\Classes\\CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}");
    EXPECT_EQ(GetModuleHandleA("kelvane-planted-help.ocx"), nullptr);
    char system[MAX_PATH] = {}, loaded[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    HMODULE control = GetModuleHandleA("hhctrl.ocx");
    ASSERT_NE(control, nullptr) << "no help control was loaded";
    GetModuleFileNameA(control, loaded, MAX_PATH);
    EXPECT_EQ(lowerCase(loaded), lowerCase(std::string(system) + "\\hhctrl.ocx"));

    constexpr UINT closeAll = 0x12; // HH_CLOSE_ALL
    showHelp(nullptr, nullptr, closeAll, 0);
    DeleteFileA(planted.c_str());
}
