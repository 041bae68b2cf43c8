// Resolving the image file from a configured command line, against a file
// system that records what it was asked.
#include "inventory/ImagePath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

using namespace kelvane;

namespace {

class FakeFiles : public PathProbe {
public:
    std::set<std::string> files, directories;
    mutable std::vector<std::string> searched;

    std::optional<std::string> search(const std::string& candidate) const override {
        searched.push_back(candidate);
        std::size_t slash = candidate.find_last_of('\\');
        bool hasExtension =
            candidate.find('.', slash == std::string::npos ? 0 : slash) != std::string::npos;
        std::vector<std::string> names{candidate};
        if (!hasExtension) {
            names.push_back(candidate + ".exe");
        }
        for (const std::string& name : names) {
            if (files.count(name) || directories.count(name)) {
                return name;
            }
        }
        return std::nullopt;
    }
    bool isFile(const std::string& path) const override { return files.count(path) != 0; }
};

class ImagePathTest : public ::testing::Test {
protected:
    FakeFiles fs;
    std::string resolve(const std::string& commandLine, bool local = true) {
        return resolveImagePath(commandLine, local, "c:\\windows", fs);
    }
};

} // namespace

TEST_F(ImagePathTest, TriesEveryPrefixEndingAtABlank) {
    fs.files = {"c:\\program files\\tool\\svc.exe"};
    EXPECT_EQ(resolve("C:\\Program Files\\Tool\\svc.exe -k netsvcs"),
              "c:\\program files\\tool\\svc.exe");
    EXPECT_EQ(fs.searched,
              (std::vector<std::string>{"c:\\program", "c:\\program files\\tool\\svc.exe"}));
}

TEST_F(ImagePathTest, ShortestExistingPrefixWins) {
    fs.files = {"c:\\a.exe", "c:\\a b.exe"};
    EXPECT_EQ(resolve("c:\\a b"), "c:\\a.exe");
}

TEST_F(ImagePathTest, QuotedPathIsOneNameWithoutItsArguments) {
    fs.files = {"c:\\a.exe", "c:\\a b\\svc.exe"};
    EXPECT_EQ(resolve("\"c:\\a b\\svc.exe\" -x"), "c:\\a b\\svc.exe");
    EXPECT_EQ(fs.searched, std::vector<std::string>{"c:\\a b\\svc.exe"});
    fs.searched.clear();
    EXPECT_EQ(resolve("\"c:\\a b\\svc.exe"), "c:\\a b\\svc.exe") << "no closing quote";
    EXPECT_EQ(resolve("\"c:\\a b\\gone.exe\" c:\\a"), "");
}

TEST_F(ImagePathTest, SystemRootAndRelativeDriverPaths) {
    fs.files = {"c:\\windows\\system32\\drivers\\x.sys"};
    EXPECT_EQ(resolve("\\SystemRoot\\System32\\drivers\\x.sys"),
              "c:\\windows\\system32\\drivers\\x.sys");
    EXPECT_EQ(resolve("\\SYSTEMROOT\\system32\\DRIVERS\\X.SYS"),
              "c:\\windows\\system32\\drivers\\x.sys");
    EXPECT_EQ(resolve("System32\\drivers\\x.sys"), "c:\\windows\\system32\\drivers\\x.sys");
    EXPECT_EQ(resolve("drivers\\x.sys"), "") << "only system32 is taken as relative";
}

TEST_F(ImagePathTest, DevicePrefixIsDropped) {
    fs.files = {"c:\\dir\\drv.sys"};
    EXPECT_EQ(resolve("\\??\\c:\\dir\\drv.sys"), "c:\\dir\\drv.sys");
    EXPECT_EQ(fs.searched, std::vector<std::string>{"c:\\dir\\drv.sys"});
}

TEST_F(ImagePathTest, MissingExtensionIsFoundAsExe) {
    fs.files = {"c:\\tools\\svc.exe"};
    EXPECT_EQ(resolve("c:\\tools\\svc --run"), "c:\\tools\\svc.exe");
}

TEST_F(ImagePathTest, DirectoryDoesNotResolve) {
    fs.directories = {"c:\\tools"};
    EXPECT_EQ(resolve("c:\\tools"), "");
}

TEST_F(ImagePathTest, EmptyBlankAndRemoteGiveNothing) {
    fs.files = {"c:\\svc.exe"};
    EXPECT_EQ(resolve(""), "");
    EXPECT_EQ(resolve(" "), "");
    EXPECT_EQ(resolve(" c:\\svc.exe"), "c:\\svc.exe") << "one leading blank is skipped";
    EXPECT_EQ(resolve("c:\\svc.exe", false), "");
    EXPECT_TRUE(std::find(fs.searched.begin(), fs.searched.end(), "") == fs.searched.end())
        << "an empty prefix is never searched";
}

TEST_F(ImagePathTest, OnlyTheFirst1023CharactersCount) {
    std::string path = "c:\\" + std::string(1016, 'd') + ".exe"; // 1023 characters
    fs.files = {path};
    EXPECT_EQ(resolve(path + "xyz -arg"), path);
    std::string beyond = "c:\\x.exe" + std::string(1020, ' ') + "c:\\svc.exe";
    fs.files = {"c:\\svc.exe"};
    EXPECT_EQ(resolve(beyond), "");
}
