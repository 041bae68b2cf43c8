#include "shell/PostUpdateRule.h"

#include <gtest/gtest.h>

using namespace kelvane;

TEST(PostUpdateRule, FirstLineOfTheHandOverFile) {
    EXPECT_EQ(handOverLine("C:\\t\\setup.exe\r\nmore"), "C:\\t\\setup.exe");
    EXPECT_EQ(handOverLine(std::string(300, 'a')).size(), 260u);
}

TEST(PostUpdateRule, OnlyFilesDirectlyInTheTemporaryFolderOrInADownloadFolderThere) {
    const std::string temp = "C:\\Users\\ad\\AppData\\Local\\Temp\\";
    EXPECT_TRUE(liesDirectlyInFolder(temp + "x.exe", "C:\\Users\\ad\\AppData\\Local\\Temp"));
    EXPECT_TRUE(liesDirectlyInFolder("c:/users/AD/appdata/local/temp/x.exe", temp));
    for (const std::string& path : {temp + "..\\..\\important.doc", temp + "sub\\x.exe",
                                    temp + ". .", temp, temp + "x:stream"}) {
        EXPECT_FALSE(liesDirectlyInFolder(path, temp)) << path;
    }
    EXPECT_FALSE(liesDirectlyInFolder("x.exe", ""));

    const std::string folder = temp + "kelvane-setup-0123456789abcdef0123456789abcdef";
    EXPECT_EQ(setupDownloadFolderOf(folder + "\\kelvane-setup.exe", temp), folder);
    const std::string refused[] = {
        temp + "kelvane-setup.exe",                          // the earlier versions' place
        temp + "kelvane-setup-\\x.exe",                      // no random part
        temp + "kelvane-setup-0123xyz\\x.exe",               // not hex
        temp + "sub\\kelvane-setup-0123456789abcdef\\x.exe", // not directly in Temp
        folder + "\\..\\..\\important.doc",
        folder + "\\sub\\x.exe",
        "C:\\Windows\\kelvane-setup-0123456789abcdef\\x.exe",
    };
    for (const std::string& path : refused) {
        EXPECT_EQ(setupDownloadFolderOf(path, temp), "") << path;
    }
}
