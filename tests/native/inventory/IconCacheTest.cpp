// The icon cache without a platform: the two cache files as a pair, and a
// pass deciding which entry shows which icon.
#include "inventory/IconPass.h"
#include "inventory/RowBuilder.h"
#include "inventory/ServiceColumns.h"

#include <gtest/gtest.h>

#include <set>

using namespace kelvane;

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
        if (failWrites.count(path)) {
            files[path] = bytes.substr(0, bytes.size() / 2);
            return false;
        }
        files[path] = bytes;
        return true;
    }
    void removeFile(const std::string& path) override {
        log.push_back("remove " + path);
        files.erase(path);
    }
};

const IconCacheFiles files = iconCacheFiles("C:\\Users\\a\\AppData\\Local");

} // namespace

TEST(IconCacheFormatTest, FileNamesLieUnderDunmere) {
    EXPECT_EQ(files.imageList, "C:\\Users\\a\\AppData\\Local\\Dunmere\\kelvane-imagelist.dat");
    EXPECT_EQ(files.imagePaths, "C:\\Users\\a\\AppData\\Local\\Dunmere\\kelvane-imagepaths.txt");
}

TEST(IconCacheFormatTest, PathsFileHasOneLinePerPathInMapOrder) {
    IconIndexes indexes{{"c:\\b c\\x.exe", 9}, {"c:\\a.sys", -1}, {"C:\\z.exe", 8}};
    EXPECT_EQ(writeImagePaths(indexes), "8 C:\\z.exe\n-1 c:\\a.sys\n9 c:\\b c\\x.exe\n");
    EXPECT_EQ(parseImagePaths(writeImagePaths(indexes)), indexes);
}

TEST(IconCacheFormatTest, PathsFileReadingLeavesOutLinesItCannotUse) {
    std::string longPath(1024, 'p');
    std::string text = "  12   c:\\spaced path\\a.exe  \r\n"
                       "\n"
                       "x c:\\no-number.exe\n"
                       "-2 c:\\below.exe\n"
                       "99999999999 c:\\overflow.exe\n"
                       "10\n"
                       "11 " +
                       longPath + "\n" + "10 " + longPath.substr(1) + "\n" +
                       "8 c:\\twice.exe\n"
                       "-1 c:\\twice.exe"; // no final line end
    IconIndexes indexes = parseImagePaths(text);
    EXPECT_EQ(indexes.size(), 3u);
    EXPECT_EQ(indexes["c:\\spaced path\\a.exe  "], 12) << "the rest of the line, CRs dropped";
    EXPECT_EQ(indexes[longPath.substr(1)], 10) << "1023 characters are a path";
    EXPECT_EQ(indexes["c:\\twice.exe"], -1) << "the later line wins";
}

TEST(IconCacheFormatTest, ImagesComeBackOnlyFromACompleteBlock) {
    std::vector<IconImage> images{imageOf(0xFF112233), imageOf(0x00ABCDEF)};
    std::string bytes = encodeIconImages(8, images);
    std::optional<std::vector<IconImage>> back = decodeIconImages(bytes, 8);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, images);
    EXPECT_TRUE(decodeIconImages(encodeIconImages(8, {}), 8));

    EXPECT_FALSE(decodeIconImages(bytes.substr(0, bytes.size() - 1), 8)) << "truncated";
    EXPECT_FALSE(decodeIconImages(bytes + "x", 8)) << "trailing bytes";
    EXPECT_FALSE(decodeIconImages(bytes, 9)) << "for another first index";
    EXPECT_FALSE(decodeIconImages("", 8));
    std::string wrongCount = bytes;
    wrongCount[20] = 3;
    EXPECT_FALSE(decodeIconImages(wrongCount, 8));
    std::string otherMagic = bytes;
    otherMagic[0] = 'X';
    EXPECT_FALSE(decodeIconImages(otherMagic, 8));
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

TEST_F(IconCachePairTest, FirstStartWithoutFilesHasOnlyClassIcons) {
    EXPECT_FALSE(catalog.load(files, storage));
    EXPECT_EQ(catalog.imageCount(), 8);
    EXPECT_TRUE(catalog.indexes().empty());
    EXPECT_TRUE(catalog.save(files, storage)) << "a fresh catalog writes its pair";
    EXPECT_EQ(storage.files.size(), 2u);
}

TEST_F(IconCachePairTest, SecondStartTakesThePair) {
    savedRun();
    EXPECT_EQ(storage.log,
              (std::vector<std::string>{"remove " + files.imagePaths, "write " + files.imageList,
                                        "write " + files.imagePaths}))
        << "no moment with a paths file beside a new image list";
    ASSERT_TRUE(catalog.load(files, storage));
    EXPECT_EQ(catalog.imageCount(), 10);
    EXPECT_EQ(catalog.lookup("c:\\b.exe"), 9);
    EXPECT_EQ(catalog.lookup("c:\\none.sys"), -1);
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
    MemoryStorage pathsOnly = storage;
    pathsOnly.files.erase(files.imageList);
    EXPECT_FALSE(catalog.load(files, pathsOnly));
    EXPECT_EQ(catalog.imageCount(), 8);
    EXPECT_TRUE(catalog.indexes().empty()) << "the paths file's indexes point nowhere now";

    MemoryStorage listOnly = storage;
    listOnly.files.erase(files.imagePaths);
    EXPECT_FALSE(catalog.load(files, listOnly));
    EXPECT_EQ(catalog.imageCount(), 8);

    for (std::string line : {"10 c:\\c.exe\n", "3 c:\\c.exe\n"}) {
        MemoryStorage mismatched = storage;
        mismatched.files[files.imagePaths] += line;
        EXPECT_FALSE(catalog.load(files, mismatched)) << line;
        EXPECT_TRUE(catalog.indexes().empty()) << line;
    }

    MemoryStorage damaged = storage;
    damaged.files[files.imageList].pop_back();
    EXPECT_FALSE(catalog.load(files, damaged));

    EXPECT_FALSE(catalog.load({}, storage)) << "no file names: nothing is read";
    EXPECT_FALSE(catalog.save({}, storage));
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
        EXPECT_FALSE(catalog.load(files, broken)) << failing;

        broken.failWrites.clear();
        EXPECT_TRUE(run.save(files, broken)) << "the next pass writes again";
        EXPECT_TRUE(catalog.load(files, broken));
        EXPECT_EQ(catalog.lookup("c:\\other.exe"), 8);
    }
}

namespace {

TableRow row(const std::string& name, const std::string& path, std::uint32_t type,
             std::uint32_t state) {
    RowTexts texts;
    return buildServiceRow(texts, {name, name, type, state, 0},
                           ServiceConfiguration{3, "", path, path}, "");
}

class IconPassTest : public ::testing::Test {
protected:
    void show(const std::vector<TableRow>& rows) {
        ServiceTable table = ServiceColumns::newTable();
        for (const TableRow& r : rows) {
            table.addRow(r);
        }
        NullEntrySink sink;
        entries.applyDifference(table, nullptr, sink);
    }
    const ServiceEntry& entry(const std::string& name) {
        return *entries.find(entries.numberOf(SharedText(name)));
    }
    IconPassTools tools(bool local = true) {
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
                local,
                {}};
    }

    ServiceEntries entries;
    IconCatalog catalog;
    FileDetailsMap details;
    std::map<std::string, int> extractions, detailReads;
};

} // namespace

TEST_F(IconPassTest, EntriesOfOneFileShareItsIconAndDetails) {
    show({row("a", "c:\\svc.exe", 0x20, 4), row("b", "c:\\svc.exe", 0x20, 1),
          row("c", "c:\\other.exe", 0x10, 1)});
    ASSERT_TRUE(runIconPass(entries, tools()));
    EXPECT_EQ(entry("a").iconIndex, 8);
    EXPECT_EQ(entry("b").iconIndex, 8);
    EXPECT_EQ(entry("c").iconIndex, 9);
    EXPECT_EQ(catalog.imageCount(), 10);
    EXPECT_EQ(extractions["c:\\svc.exe"], 1);
    EXPECT_EQ(detailReads["c:\\svc.exe"], 1);
    EXPECT_EQ(details.size(), 2u);
    EXPECT_EQ(details.find("c:\\svc.exe").description, "about c:\\svc.exe");
    EXPECT_TRUE(details.find("c:\\svc.exe").detailsRead);

    ASSERT_TRUE(runIconPass(entries, tools()));
    EXPECT_EQ(extractions["c:\\svc.exe"], 1) << "known paths cost nothing";
    EXPECT_EQ(detailReads["c:\\svc.exe"], 1);
}

TEST_F(IconPassTest, AFileWithoutIconShowsTheClassIconAndIsTriedAgain) {
    show({row("drv", "c:\\noicon.sys", 0x01, 4), row("fs", "", 0x02, 1)});
    ASSERT_TRUE(runIconPass(entries, tools()));
    EXPECT_EQ(entry("drv").iconIndex, 1) << "running kernel driver";
    EXPECT_EQ(entry("fs").iconIndex, 2);
    EXPECT_EQ(catalog.lookup("c:\\noicon.sys"), -1);
    EXPECT_EQ(catalog.imageCount(), 8);

    // A refresh that changes the entry starts its icon afresh.
    show({row("drv", "c:\\noicon.sys", 0x01, 1)});
    ASSERT_TRUE(runIconPass(entries, tools()));
    EXPECT_EQ(entry("drv").iconIndex, 0);
    EXPECT_EQ(extractions["c:\\noicon.sys"], 2);
}

TEST_F(IconPassTest, AStopEndsThePassBetweenEntries) {
    show({row("a", "c:\\a.exe", 0x10, 1), row("b", "c:\\b.exe", 0x10, 1)});
    IconPassTools stopping = tools();
    int asked = 0;
    stopping.stopRequested = [&] { return ++asked > 1; };
    EXPECT_FALSE(runIconPass(entries, stopping));
    EXPECT_EQ(entry("a").iconIndex, 8);
    EXPECT_EQ(entry("b").iconIndex, -1);
}

TEST_F(IconPassTest, CachedIconShowsOnlyIconsTheWindowHolds) {
    show({row("a", "c:\\a.exe", 0x10, 4), row("b", "", 0x01, 4)});
    EXPECT_EQ(cachedIcon(entry("a"), catalog, 8), 5);
    EXPECT_EQ(catalog.indexes().count("c:\\a.exe"), 1u) << "entered with -1";
    EXPECT_EQ(cachedIcon(entry("b"), catalog, 8), 1);
    EXPECT_EQ(catalog.append("c:\\a.exe", imageOf(7)), 8);
    EXPECT_EQ(cachedIcon(entry("a"), catalog, 8), 5) << "not in the window's image list yet";
    EXPECT_EQ(cachedIcon(entry("a"), catalog, 9), 8);
}
