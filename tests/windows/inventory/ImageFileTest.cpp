// Image paths resolved through the real path search, and details read back
// from programs built with known version resources.
#include "inventory/win/FileDetailsReader.h"
#include "inventory/win/ImagePathSearch.h"
#include "tests/windows/support/TestPaths.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>

using namespace kelvane;
using namespace kelvane::test;

namespace {

std::string lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// Copies of a program under names that need resolving, removed afterwards.
class ImagePathSearchTest : public ::testing::Test {
protected:
    std::string windowsDir = lowerCaseWindowsDirectory();
    std::string tag = "kvtest-" + std::to_string(GetCurrentProcessId());
    std::string blankDir, blankExe, driver;

    void SetUp() override {
        ASSERT_FALSE(windowsDir.empty());
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        blankDir = lower(temp) + tag + " dir";
        blankExe = blankDir + "\\svc tool.exe";
        driver = windowsDir + "\\system32\\drivers\\" + tag + ".sys";
        std::string source = programPath("kelvane-version-sample.exe");
        ASSERT_TRUE(CreateDirectoryA(blankDir.c_str(), nullptr) ||
                    GetLastError() == ERROR_ALREADY_EXISTS);
        ASSERT_TRUE(CopyFileA(source.c_str(), blankExe.c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(source.c_str(), driver.c_str(), FALSE));
    }
    void TearDown() override {
        DeleteFileA(blankExe.c_str());
        RemoveDirectoryA(blankDir.c_str());
        DeleteFileA(driver.c_str());
    }
    std::string resolve(const std::string& commandLine) {
        return lower(resolveImagePath(commandLine, true, windowsDir));
    }
};

} // namespace

TEST_F(ImagePathSearchTest, BlanksInAnUnquotedPath) {
    EXPECT_EQ(resolve(blankExe + " -k netsvcs"), blankExe);
    EXPECT_EQ(resolve(blankDir + "\\svc tool -k"), blankExe) << "found as .exe";
}

TEST_F(ImagePathSearchTest, QuotedPathWithArguments) {
    EXPECT_EQ(resolve("\"" + blankExe + "\" -x \"c:\\other\""), blankExe);
    std::string service = lower(programPath("kelvane-test-service.exe"));
    EXPECT_EQ(resolve("\"" + service + "\" --start-ms=5"), service);
}

TEST_F(ImagePathSearchTest, DriverPathsRelativeToTheWindowsDirectory) {
    std::string name = "\\drivers\\" + tag + ".sys";
    EXPECT_EQ(resolve("\\SystemRoot\\System32" + name), driver);
    EXPECT_EQ(resolve("\\SYSTEMROOT\\SYSTEM32" + name), driver);
    EXPECT_EQ(resolve("System32" + name), driver);
    EXPECT_EQ(resolve("\\??\\" + driver), driver);
}

TEST_F(ImagePathSearchTest, DirectoriesMissingFilesAndRemoteHostsGiveNothing) {
    EXPECT_EQ(resolve(blankDir), "");
    EXPECT_EQ(resolve(windowsDir), "");
    EXPECT_EQ(resolve(blankDir + "\\absent.exe"), "");
    EXPECT_EQ(resolveImagePath(blankExe, false, windowsDir), "");
}

TEST_F(ImagePathSearchTest, LongCommandLineIsResolvedFromItsStart) {
    std::string commandLine = "\"" + blankExe + "\"" + std::string(1100, 'x');
    ASSERT_GT(commandLine.size(), 1100u);
    EXPECT_EQ(resolve(commandLine), blankExe);
}

namespace {

bool looksLikeTimeText(const std::string& text) {
    // dd.mm.yyyy hh:mm:ss
    const std::string shape = "00.00.0000 00:00:00";
    if (text.size() != shape.size()) {
        return false;
    }
    for (size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] == '0' ? !std::isdigit(static_cast<unsigned char>(text[i]))
                            : text[i] != shape[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

TEST(FileDetailsReader, FirstTranslationWithMakerAndDescriptionEndsTheSearch) {
    FileDetails details = readFileDetails(programPath("kelvane-version-sample.exe"));
    EXPECT_TRUE(details.detailsRead);
    EXPECT_EQ(details.version, "4.6.12.345") << "the file version, not the product version";
    EXPECT_EQ(details.manufacturer, "Trevolt Test Works");
    EXPECT_EQ(details.description, "Kelvane version sample");
    EXPECT_EQ(details.comment, "");
    EXPECT_NE(details.language.find("English"), std::string::npos) << details.language;
    EXPECT_TRUE(looksLikeTimeText(details.fileTime)) << details.fileTime;
}

TEST(FileDetailsReader, OnlyTranslationWithoutCompanyName) {
    FileDetails details = readFileDetails(programPath("kelvane-version-nocompany.exe"));
    EXPECT_EQ(details.version, "1.0.0.7");
    EXPECT_EQ(details.manufacturer, "");
    EXPECT_EQ(details.description, "No maker named");
    EXPECT_EQ(details.comment, "A comment");
}

TEST(FileDetailsReader, WithoutVersionResourceOnlyTheTimeIsKnown) {
    FileDetails details = readFileDetails(programPath("kelvane-test-service.exe"));
    EXPECT_EQ(details.version, "");
    EXPECT_EQ(details.language, "");
    EXPECT_EQ(details.manufacturer, "");
    EXPECT_EQ(details.description, "");
    EXPECT_TRUE(looksLikeTimeText(details.fileTime)) << details.fileTime;
}

TEST(FileDetailsReader, MissingFileHasNoDetails) {
    FileDetails details = readFileDetails(programPath("no-such-file.exe"));
    EXPECT_TRUE(details.detailsRead);
    EXPECT_EQ(details.fileTime, "");
    EXPECT_EQ(details.version, "");
}
