// Image paths resolved through the real path search, and details read back
// from programs built with known version resources.
#include "inventory/win/FileDetailsReader.h"
#include "inventory/win/ImagePathSearch.h"
#include "tests/windows/support/TestPaths.h"

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::test;

TEST(ImagePathSearchTest, CommandLinesResolveToTheirFileOrNothing) {
    const std::string blankDir = scratchPath("image dir");
    const std::string blankExe = blankDir + "\\svc tool.exe";
    CreateDirectoryA(blankDir.c_str(), nullptr);
    ASSERT_TRUE(
        CopyFileA(programPath("kelvane-version-sample.exe").c_str(), blankExe.c_str(), FALSE));
    const std::pair<std::string, std::string> cases[] = {
        {blankDir + "\\svc tool -k", blankExe}, // blanks, and .exe found by the search
        {blankDir, ""},                         // a directory is no image file
    };
    for (const auto& [commandLine, file] : cases) {
        EXPECT_EQ(_stricmp(resolveImagePath(commandLine, true, lowerCaseWindowsDirectory()).c_str(),
                           file.c_str()),
                  0)
            << commandLine;
    }
    DeleteFileA(blankExe.c_str());
    RemoveDirectoryA(blankDir.c_str());
}

// Which translation and field wins is pinned natively (VersionDetailsTest).
TEST(FileDetailsReader, DetailsOfAFileWithResourcesOfOneWithoutAndOfAMissingOne) {
    FileDetails details = readFileDetails(programPath("kelvane-version-sample.exe"));
    EXPECT_EQ(details.version, "4.6.12.345") << "the file version, not the product version";
    EXPECT_EQ(details.manufacturer, "Trevolt Test Works");
    EXPECT_NE(details.language.find("English"), std::string::npos) << details.language;
    EXPECT_EQ(details.language.find('\0'), std::string::npos) << "the platform's text ends at NUL";
    EXPECT_EQ(details.fileTime.size(), 19u) << "dd.mm.yyyy hh:mm:ss: " << details.fileTime;

    FileDetails noResource = readFileDetails(programPath("kelvane-test-service.exe"));
    EXPECT_EQ(noResource.version + noResource.language + noResource.description, "");
    EXPECT_EQ(noResource.fileTime.size(), 19u) << noResource.fileTime;

    FileDetails noFile = readFileDetails(programPath("no-such-file.exe"));
    EXPECT_TRUE(noFile.detailsRead);
    EXPECT_EQ(noFile.fileTime + noFile.version, "");
}
