#include "shell/Settings.h"

#include "tests/native/ExactText.h"
#include "tests/native/HostPython.h"
#include "tests/native/inventory/TestRows.h"

#include "xml/AnsiCodePage.h"
#include "xml/XmlDocument.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace kelvane;
using namespace kelvane::test;

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void spit(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

Settings sample() {
    Settings s;
    s.placement = "100/80/900/600 - 1";
    s.computerHistory = {"SERVER-1", "b\xFC"
                                     "ro"};
    s.searchHistory = {"svc*", "a&b <c> \"d\" 'e'"};
    s.colourBackground = false;
    return s;
}

// Writes real files but fails the write that passes 64 KiB.
class FailingFileOps : public FileOps {
public:
    std::vector<std::string> removed;

    bool createFolder(const std::string& path) override { return real().createFolder(path); }
    std::unique_ptr<OutputFile> createFile(const std::string& path) override {
        struct File : OutputFile {
            std::ofstream out;
            size_t left = 65536;
            bool write(std::string_view bytes) override {
                if (bytes.size() > left) {
                    return false;
                }
                left -= bytes.size();
                return out.write(bytes.data(), bytes.size()).good();
            }
            bool commit() override { return true; }
        };
        auto file = std::make_unique<File>();
        file->out.open(path, std::ios::binary);
        return file;
    }
    bool replaceFile(const std::string& from, const std::string& to) override {
        return real().replaceFile(from, to);
    }
    void removeFile(const std::string& path) override {
        removed.push_back(path);
        real().removeFile(path);
    }

private:
    static FileOps& real() { return platformFileOps(); }
};

} // namespace

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kelvane-settings-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        path = folder + "/kelvane.xml";
    }
    void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }

    std::string folder;
    std::string path;
};

namespace {
Settings readText(const std::string& text) {
    XmlDocument document;
    document.readBytes(text, "t");
    Settings s;
    s.computerHistory = {"kept?"};
    readSettingsDocument(document, s);
    return s;
}
} // namespace

TEST(SettingsDocument, ReadingRules) {
    EXPECT_FALSE(readText("<kelvane version='4.6'><flags/></kelvane>").colourBackground);
    EXPECT_TRUE(readText("<kelvane><flags color-bkgnd='TRUE'/></kelvane>").colourBackground);

    // Histories are replaced and deduplicated.
    const Settings s = readText("<kelvane><hostnames><hostname>a</hostname><x>no</x>"
                                "<hostname>a</hostname><hostname>b&amp;c</hostname></hostnames>"
                                "<search><text>s</text></search></kelvane>");
    EXPECT_EQ(s.computerHistory, (std::set<std::string>{"a", "b&c"}));
    EXPECT_EQ(s.searchHistory, std::set<std::string>{"s"});
}

TEST(Placement, TextHasFiveNumbersExactly) {
    EXPECT_EQ(placementText({100, 80, 900, 600, 1}), "100/80/900/600 - 1");
    auto p = parsePlacementText(kelvane::test::ExactText("-1920/0/-10/1040 - 3"));
    ASSERT_TRUE(p);
    EXPECT_EQ(placementText(*p), "-1920/0/-10/1040 - 3");
    for (const char* bad : {"100/80/900/600", "100/80/900/600 - 1 ", "100/80/900/600-1",
                            "1/2/3/99999999999 - 1", "", "1//3/4 - 1"}) {
        EXPECT_FALSE(parsePlacementText(kelvane::test::ExactText(bad))) << bad;
    }
    EXPECT_TRUE(parsePlacementText("2147483647/-2147483648/0/0 - 0"));

    Settings s;
    s.placement = "1/2/3/4 - 1";
    s.takePlacement("");
    EXPECT_EQ(s.placement, "1/2/3/4 - 1") << "taken only when the window reported one";
}

TEST_F(SettingsFileTest, WritesEveryMissingFolderLevelAndReportsWhatItCannot) {
    const std::string deep = folder + "/a\\b/c/kelvane.xml";
    ASSERT_TRUE(writeSettingsFile(deep, sample()));
    Settings read;
    EXPECT_TRUE(readSettingsFile(deep, read));
    EXPECT_EQ(read, sample());

    spit(folder + "/file", "x");
    EXPECT_FALSE(writeSettingsFile(folder + "/file/sub/kelvane.xml", sample()));

    // A missing or broken file keeps the defaults.
    Settings s;
    EXPECT_FALSE(readSettingsFile(path, s));
    spit(path, "<kelvane version='4.6'><ui window-pos=1/></kelvane>");
    EXPECT_FALSE(readSettingsFile(path, s));
    EXPECT_EQ(s, Settings());
}

TEST_F(SettingsFileTest, InterruptedWriteLeavesTheOldFileWhole) {
    ASSERT_TRUE(writeSettingsFile(path, sample()));
    const std::string old = slurp(path);

    Settings next = sample();
    next.computerHistory.insert(std::string(200000, 'h')); // several write chunks
    FailingFileOps writeFails;
    EXPECT_FALSE(writeSettingsFile(path, next, BaselineWriter(), writeFails));
    EXPECT_EQ(slurp(path), old);
    EXPECT_EQ(writeFails.removed.size(), 1u) << "the temporary file goes";
    EXPECT_TRUE(writeSettingsFile(path, next));
    EXPECT_EQ(slurp(path), settingsDocument(next));
}

// Python reads the file, control bytes and all; reading it back
// replaces the baseline held before and marks nothing.
TEST_F(SettingsFileTest, OtherParsersAcceptTheFileAndEveryByteTravelsWhole) {
    std::string controls;
    for (char c = 1; c < 0x20; ++c) {
        controls += c;
    }
    ServiceTable baseline = tableOf({serviceRow("W32Time"), serviceRow("Sch\xE4"
                                                                       "d")});
    TableRow row = baseline.rows().begin()->second;
    row.cells[ServiceColumns::displayName] = TableCell(SharedText("name" + controls));
    row.cells[ServiceColumns::command] = TableCell(SharedText("C:\\_x0001_\\run.exe\t-k"));
    baseline.addRow(row);
    Settings settings = sample();
    settings.computerHistory.insert("srv ");
    settings.searchHistory.insert("a\tb");
    ASSERT_TRUE(writeSettingsFile(path, settings, baseline));
    std::string output;
    ASSERT_EQ(
        runPython(
            "import sys, xml.etree.ElementTree as E\n"
            "r = E.parse(sys.argv[1]).getroot()\n"
            "out = [r.tag, r.get('version'), r.find('ui').get('window-pos')]\n"
            "out += [h.text for h in r.find('hostnames')] + [t.text for t in r.find('search')]\n"
            "out += [r.find('flags').get('color-bkgnd'), str(len(r.find('last-entries')))]\n"
            "out.append(r.find('last-entries')[0].get('command'))\n"
            "sys.stdout.buffer.write('|'.join(out).encode())\n",
            path, &output),
        0)
        << output;
    EXPECT_EQ(output,
              ansiToUtf8("kelvane|4.6|100/80/900/600 - 1|SERVER-1|b\xFCro|srv |a\tb|a&b <c> \"d\" "
                         "'e'|svc*|false|2|C:\\_x005F_x0001_\\run.exe\t-k"));

    Settings readSettings;
    ServiceTable read = tableOf({serviceRow("stale")});
    ASSERT_TRUE(readSettingsFile(path, readSettings, read));
    EXPECT_EQ(readSettings, settings);
    TableRow marked = row;
    markAgainstBaseline(marked, read);
    EXPECT_EQ(marked.cell(ServiceColumns::changed).intValue(), 0) << "no false change marks";
    EXPECT_EQ(read.rowCount(), 2u);
}

TEST_F(SettingsFileTest, NewerOrDamagedBaselineLeavesItEmpty) {
    Settings settings;
    ServiceTable read = tableOf({serviceRow("kept?")});
    spit(path, "<kelvane version='4.7'><ui window-pos='1/2/3/4 - 1'/><flags color-bkgnd='false'/>"
               "<last-entries><row serviceName='a'/></last-entries></kelvane>");
    EXPECT_FALSE(readSettingsFile(path, settings, read));
    EXPECT_EQ(read.rowCount(), 0u);
    EXPECT_EQ(settings, Settings()) << "a newer file leaves everything at its default";

    spit(path, "<kelvane version='4.6'><hostnames><hostname>h</hostname></hostnames><last-entries>"
               "<row serviceName='a'/><row serviceName='b' bogus='1'/></last-entries></kelvane>");
    EXPECT_FALSE(readSettingsFile(path, settings, read));
    EXPECT_EQ(read.rowCount(), 0u);
    EXPECT_EQ(settings.computerHistory, std::set<std::string>{"h"});
}
