// Resolving the image file from a configured command line, against a file
// system in memory.
#include "inventory/ImagePath.h"

#include <gtest/gtest.h>

#include <set>

using namespace kelvane;

namespace {

class FakeFiles : public PathProbe {
public:
    std::set<std::string> files{"c:\\program files\\tool\\svc.exe", "c:\\a.exe", "c:\\a b\\svc.exe",
                                "c:\\windows\\system32\\drivers\\x.sys", "c:\\dir\\drv.sys"};
    std::set<std::string> directories{"c:\\tools"};

    std::optional<std::string> search(const std::string& candidate) const override {
        bool hasExtension =
            candidate.find('.', candidate.find_last_of('\\') + 1) != std::string::npos;
        for (const std::string& name : {candidate, hasExtension ? candidate : candidate + ".exe"}) {
            if (files.count(name) || directories.count(name)) {
                return name;
            }
        }
        return std::nullopt;
    }
    bool isFile(const std::string& path) const override { return files.count(path) != 0; }
};

} // namespace

TEST(ImagePath, ResolvesWhatTheManagerWouldStart) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Program Files\\Tool\\svc.exe -k netsvcs", "c:\\program files\\tool\\svc.exe"},
        {"c:\\a b", "c:\\a.exe"}, // shortest existing prefix, found as .exe
        {"\"c:\\a b\\svc.exe\" -x", "c:\\a b\\svc.exe"},
        {"\"c:\\a b\\gone.exe\" c:\\a", ""}, // a quoted path is searched whole
        {"\\SystemRoot\\System32\\drivers\\x.sys", "c:\\windows\\system32\\drivers\\x.sys"},
        {"System32\\drivers\\x.sys", "c:\\windows\\system32\\drivers\\x.sys"},
        {"drivers\\x.sys", ""},
        {"\\??\\c:\\dir\\drv.sys", "c:\\dir\\drv.sys"},
        {" c:\\a.exe", "c:\\a.exe"},
        {"c:\\tools", ""}, // a directory
        {" ", ""},
    };
    for (const auto& [commandLine, expected] : cases) {
        FakeFiles fs;
        EXPECT_EQ(resolveImagePath(commandLine, true, "c:\\windows", fs), expected) << commandLine;
    }
    FakeFiles fs;
    EXPECT_EQ(resolveImagePath("c:\\a.exe", false, "c:\\windows", fs), "") << "remote";
}

TEST(ImagePath, OnlyTheFirst1023CharactersCount) {
    FakeFiles fs;
    std::string path = "c:\\" + std::string(1016, 'd') + ".exe"; // 1023 characters
    fs.files = {path, "c:\\svc.exe"};
    EXPECT_EQ(resolveImagePath(path + "xyz -arg", true, "c:\\windows", fs), path);
    std::string beyond = "c:\\x.exe" + std::string(1020, ' ') + "c:\\svc.exe";
    EXPECT_EQ(resolveImagePath(beyond, true, "c:\\windows", fs), "");
}
