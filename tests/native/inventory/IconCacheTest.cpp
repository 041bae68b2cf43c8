// The icon cache without a platform: the two cache files as a pair, and a
// pass deciding which entry shows which icon.
#include "inventory/IconPass.h"
#include "tests/native/ExactText.h"
#include "tests/native/inventory/TestRows.h"

#include <gtest/gtest.h>

#include <set>

using namespace kelvane;
using namespace kelvane::test;

namespace {

IconImage imageOf(std::uint32_t colour) {
    IconImage image;
    image.colour.fill(colour);
    image.mask[3] = 0x5A;
    return image;
}

// Files in memory; a write to a path in failWrites fails half-way, leaving
// what it wrote so far.
struct MemoryStorage : IconCacheStorage {
    std::map<std::string, std::string> files;
    std::set<std::string> failWrites;
    std::vector<std::string> log;

    std::optional<std::string> readFile(const std::string& path) override {
        auto found = files.find(path);
        return found == files.end() ? std::nullopt : std::optional<std::string>(found->second);
    }
    bool writeNewFile(const std::string& path, const std::string& bytes) override {
        log.push_back("write " + path);
        files[path] = failWrites.count(path) ? bytes.substr(0, bytes.size() / 2) : bytes;
        return !failWrites.count(path);
    }
    void removeFile(const std::string& path) override {
        log.push_back("remove " + path);
        files.erase(path);
    }
};

const IconCacheFiles files = iconCacheFiles("C:\\Users\\a\\AppData\\Local");

} // namespace

TEST(IconCacheFormatTest, PathsFileReadingLeavesOutLinesItCannotUse) {
    const std::string longest(1023, 'p');
    const struct {
        std::string line;
        std::string path; // empty: the line is left out
        std::int32_t index;
    } cases[] = {
        {"  12   c:\\spaced path\\a.exe  \r\r", "c:\\spaced path\\a.exe  ", 12},
        {"2147483647 c:\\last.exe", "c:\\last.exe", INT32_MAX},
        {"10 " + longest, longest, 10},
        {"-2 c:\\below.exe", "", 0},
        {"2147483648 c:\\overflow.exe", "", 0},
        {"- c:\\sign-only.exe", "", 0},
        {"10 \r", "", 0},
        {"11 " + longest + "p", "", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseImagePaths(c.line),
                  (c.path.empty() ? IconIndexes() : IconIndexes{{c.path, c.index}}))
            << c.line;
    }
    // A last line of blanks that ends the file's buffer is not read past.
    EXPECT_EQ(parseImagePaths(ExactText("3 c:\\a.exe\n   ")).size(), 1u);
}

class IconCachePairTest : public ::testing::Test {
protected:
    // A run that found two icons and one file without.
    void savedRun() {
        IconCatalog run;
        EXPECT_EQ(run.append("c:\\a.exe", imageOf(1)), 8);
        EXPECT_EQ(run.lookup("c:\\none.sys"), -1);
        EXPECT_EQ(run.append("c:\\b.exe", imageOf(2)), 9);
        ASSERT_TRUE(run.save(files, storage));
    }

    MemoryStorage storage;
    IconCatalog catalog;
};

TEST_F(IconCachePairTest, TheNextStartTakesThePairAndWritesOnlyWhatIsNew) {
    EXPECT_FALSE(catalog.load(files, storage)) << "first start: class icons only";
    EXPECT_EQ(catalog.imageCount(), 8);
    savedRun();
    ASSERT_TRUE(catalog.load(files, storage));
    EXPECT_EQ(catalog.indexes(),
              (IconIndexes{{"c:\\a.exe", 8}, {"c:\\none.sys", -1}, {"c:\\b.exe", 9}}));
    EXPECT_EQ(catalog.imagesFrom(9), std::vector<IconImage>{imageOf(2)});

    storage.log.clear();
    EXPECT_TRUE(catalog.save(files, storage));
    EXPECT_TRUE(storage.log.empty()) << "nothing new, nothing written";
    catalog.lookup("c:\\new.exe");
    EXPECT_TRUE(catalog.save(files, storage));
    EXPECT_EQ(storage.log.size(), 3u);
}

TEST_F(IconCachePairTest, AMissingOrStrangeHalfDiscardsBoth) {
    savedRun();
    std::vector<MemoryStorage> broken(7, storage);
    broken[0].files.erase(files.imageList);
    broken[1].files.erase(files.imagePaths);
    broken[2].files[files.imageList].pop_back();
    broken[5].files[files.imageList] += "x";
    broken[6].files[files.imageList][20] = 3;              // the count of images
    broken[3].files[files.imagePaths] += "10 c:\\c.exe\n"; // past the images
    broken[4].files[files.imagePaths] += "7 c:\\c.exe\n";  // a class icon
    for (MemoryStorage& half : broken) {
        EXPECT_FALSE(catalog.load(files, half));
        EXPECT_EQ(catalog.imageCount(), 8);
        EXPECT_TRUE(catalog.indexes().empty());
    }
    MemoryStorage lastImage = storage;
    lastImage.files[files.imagePaths] += "8 c:\\c.exe\n";
    EXPECT_TRUE(catalog.load(files, lastImage)) << "the first file icon is no class icon";
}

TEST_F(IconCachePairTest, AFailedWriteLeavesNoPathsFileBehind) {
    savedRun();
    for (const std::string& failing : {files.imageList, files.imagePaths}) {
        MemoryStorage broken = storage;
        broken.failWrites = {failing};
        IconCatalog run;
        run.append("c:\\other.exe", imageOf(3));
        EXPECT_FALSE(run.save(files, broken)) << failing;
        EXPECT_EQ(broken.files.count(files.imagePaths), 0u) << failing;
        broken.failWrites.clear();
        EXPECT_TRUE(run.save(files, broken)) << "the next pass writes again";
        EXPECT_TRUE(catalog.load(files, broken));
    }
}

namespace {

class IconPassTest : public ::testing::Test {
protected:
    void show(const std::vector<TableRow>& rows) {
        NullEntrySink sink;
        entries.applyDifference(tableOf(rows), nullptr, sink);
    }
    const ServiceEntry& entry(const std::string& name) {
        return *entries.find(entries.numberOf(SharedText(name)));
    }
    IconPassTools tools() {
        return {catalog,
                details,
                [this](const std::string& path) -> std::optional<IconImage> {
                    ++extractions[path];
                    if (path.find("noicon") != std::string::npos) {
                        return std::nullopt;
                    }
                    return imageOf(static_cast<std::uint32_t>(std::hash<std::string>()(path)));
                },
                [this](const std::string& path) {
                    ++detailReads[path];
                    FileDetails read;
                    read.description = "about " + path;
                    return read;
                },
                true,
                {}};
    }

    ServiceEntries entries;
    IconCatalog catalog;
    FileDetailsMap details;
    std::map<std::string, int> extractions, detailReads;
};

} // namespace

TEST_F(IconPassTest, EntriesOfOneFileShareItsIconAndDetails) {
    show({serviceRow("a", 4, 3, 0x20, "c:\\svc.exe"), serviceRow("b", 1, 3, 0x20, "c:\\svc.exe"),
          serviceRow("c", 1, 3, 0x10, "c:\\other.exe")});
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_TRUE(runIconPass(entries, tools()));
        EXPECT_EQ(entry("a").iconIndex, 8);
        EXPECT_EQ(entry("b").iconIndex, 8);
        EXPECT_EQ(entry("c").iconIndex, 9);
        EXPECT_EQ(extractions["c:\\svc.exe"], 1) << "known paths cost nothing";
        EXPECT_EQ(detailReads["c:\\svc.exe"], 1);
    }
    EXPECT_EQ(details.find("c:\\svc.exe").description, "about c:\\svc.exe");
}

TEST_F(IconPassTest, AFileWithoutIconShowsTheClassIconAndIsTriedAgain) {
    show({serviceRow("drv", 4, 3, 0x01, "c:\\noicon.sys"), serviceRow("fs", 1, 3, 0x02)});
    ASSERT_TRUE(runIconPass(entries, tools()));
    EXPECT_EQ(entry("drv").iconIndex, 1) << "running kernel driver";
    EXPECT_EQ(entry("fs").iconIndex, 2);

    // A refresh that changes the entry starts its icon afresh.
    show({serviceRow("drv", 1, 3, 0x01, "c:\\noicon.sys")});
    ASSERT_TRUE(runIconPass(entries, tools()));
    EXPECT_EQ(entry("drv").iconIndex, 0);
    EXPECT_EQ(extractions["c:\\noicon.sys"], 2);
}

TEST_F(IconPassTest, AStopEndsThePassBetweenEntries) {
    show({serviceRow("a", 1, 3, 0x10, "c:\\a.exe"), serviceRow("b", 1, 3, 0x10, "c:\\b.exe")});
    IconPassTools stopping = tools();
    int asked = 0;
    stopping.stopRequested = [&] { return ++asked > 1; };
    EXPECT_FALSE(runIconPass(entries, stopping));
    EXPECT_EQ(entry("a").iconIndex, 8);
    EXPECT_EQ(entry("b").iconIndex, -1);
}

TEST_F(IconPassTest, CachedIconShowsOnlyIconsTheWindowHolds) {
    show({serviceRow("a", 4, 3, 0x10, "c:\\a.exe"), serviceRow("b", 4, 3, 0x01)});
    EXPECT_EQ(cachedIcon(entry("a"), catalog, 8), 5);
    EXPECT_EQ(cachedIcon(entry("b"), catalog, 8), 1);
    EXPECT_EQ(catalog.append("c:\\a.exe", imageOf(7)), 8);
    EXPECT_EQ(cachedIcon(entry("a"), catalog, 8), 5) << "not in the window's image list yet";
    EXPECT_EQ(cachedIcon(entry("a"), catalog, 9), 8);
}
