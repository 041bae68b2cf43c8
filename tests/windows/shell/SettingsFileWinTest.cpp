// The settings file through the real Win32 calls: the ANSI code page at the
// XML boundary, folder creation and the atomic replace with MoveFileExA.
#include "shell/FileOps.h"
#include "shell/Settings.h"
#include "xml/AnsiCodePage.h"
#include "tests/windows/support/TestPaths.h"

#include <windows.h>

#include <gtest/gtest.h>

using namespace kelvane;

// The code pages the program runs under are single-byte; which texts have
// no place in one is the native XmlText test's.
TEST(AnsiCodePageWin, RoundTripsTheCodePage) {
    if (GetACP() != 1252) {
        GTEST_SKIP() << "code page " << GetACP();
    }
    std::string all;
    for (int c = 1; c < 256; ++c) {
        all += static_cast<char>(c);
    }
    EXPECT_EQ(utf8ToAnsi(ansiToUtf8(all)), all);
    EXPECT_EQ(ansiToUtf8("\x80"), "\xE2\x82\xAC");
}

// The replace itself is the native SettingsFile test's rule; here
// MoveFileExA onto a file that is open without sharing fails and leaves the
// temporary file removed and the old contents in place.
TEST(SettingsFileWin, AFailedReplaceKeepsTheOldFileAndNoTemporary) {
    const std::string folder = kelvane::test::scratchPath("settings");
    const std::string path = settingsFilePath(folder);
    Settings settings;
    settings.placement = "10/20/300/400 - 3";
    ASSERT_TRUE(writeSettingsFile(path, settings)); // with the folders it needs
    HANDLE locked = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    settings.placement.clear();
    EXPECT_FALSE(writeSettingsFile(path, settings));
    CloseHandle(locked);
    Settings read;
    EXPECT_TRUE(readSettingsFile(path, read));
    EXPECT_EQ(read.placement, "10/20/300/400 - 3");
    const std::string settingsFolder = path.substr(0, path.rfind('\\'));
    WIN32_FIND_DATAA found;
    EXPECT_EQ(FindFirstFileA((settingsFolder + "\\*.tmp").c_str(), &found), INVALID_HANDLE_VALUE);
    DeleteFileA(path.c_str());
    RemoveDirectoryA(settingsFolder.c_str());
    RemoveDirectoryA(folder.c_str());
}
