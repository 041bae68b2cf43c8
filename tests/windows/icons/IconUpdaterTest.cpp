// The icon updater as the main window runs it: a hidden window receives its
// completion messages and a list view asks it for item images, against
// Wine's manager, shell and image lists, with real cache files.
#include "inventory/win/IconUpdater.h"
#include "tests/windows/icons/HostWindow.h"
#include "tests/windows/support/MainWindowThread.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TestServices.h"

#include "framework/win/ModuleResources.h"
#include "inventory/RefreshCycle.h"
#include "inventory/RowBuilder.h"
#include "inventory/win/ServiceReader.h"

#include <memory>
#include <set>

using namespace kelvane;
using namespace kelvane::test;

namespace {

// A one-image .ico file of a single colour (0xRRGGBB), fully opaque.
void writeIconFile(const std::string& path, std::uint32_t rgb) {
    std::string bytes;
    auto put = [&](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) {
            bytes.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
        }
    };
    const std::uint32_t imageSize = 40 + 16 * 16 * 4 + 16 * 4;
    put(0, 2), put(1, 2), put(1, 2);                      // icon directory, one image
    put(16, 1), put(16, 1), put(0, 1), put(0, 1);         // 16 x 16
    put(1, 2), put(32, 2), put(imageSize, 4), put(22, 4); // planes, bits, size, offset
    put(40, 4), put(16, 4), put(32, 4), put(1, 2), put(32, 2);
    put(0, 4), put(0, 4), put(0, 4), put(0, 4), put(0, 4), put(0, 4);
    for (int pixel = 0; pixel < 16 * 16; ++pixel) {
        put(0xFF000000u | rgb, 4);
    }
    put(0, 16 * 4); // AND mask: all opaque
    Plinth::UniqueFileHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// The middle pixel's colour, 0xRRGGBB, of a list image.
std::uint32_t middleColour(HIMAGELIST list, int index) {
    Plinth::UniqueIcon icon(ImageList_GetIcon(list, index, ILD_NORMAL));
    std::optional<IconImage> image = iconImage(icon.get());
    return image ? image->colour[8 * 16 + 8] & 0xFFFFFF : 0xDEADBEEF;
}

TableRow syntheticRow(const std::string& name, const std::string& path, std::uint32_t type,
                      std::uint32_t state) {
    return buildServiceRow(RowTexts{}, {name, name, type, state, 0},
                           ServiceConfiguration{3, "", path, path}, "");
}

class IconUpdaterTest : public ServiceFixture {
protected:
    void SetUp() override {
        Plinth::setResourceModule(GetModuleHandleA(nullptr));
        static int counter = 0;
        folder = scratchPath("icons-" + std::to_string(++counter));
        CreateDirectoryA(folder.c_str(), nullptr);
        files = iconCacheFiles(folder);
    }
    void TearDown() override {
        DeleteFileA(files.imageList.c_str());
        DeleteFileA(files.imagePaths.c_str());
        for (const std::string& extra : extraFiles) {
            DeleteFileA(extra.c_str());
        }
        RemoveDirectoryA((folder + "\\Dunmere").c_str());
        RemoveDirectoryA(folder.c_str());
    }

    std::unique_ptr<IconUpdater> makeUpdater() {
        IconUpdater::Setup setup;
        setup.window = window.handle();
        setup.files = files;
        setup.entries = &entries;
        setup.refreshLock = &refreshLock;
        setup.hostIsLocal = [] { return true; };
        auto updater = std::make_unique<IconUpdater>(setup);
        ListView_SetImageList(window.list(), updater->imageList(), LVSIL_SMALL);
        window.imageOf = [this, u = updater.get()](LPARAM number) {
            const ServiceEntry* entry = entries.find(static_cast<int>(number));
            return entry ? u->cachedIcon(*entry) : -1;
        };
        return updater;
    }

    // One pass, ended by its done event and the message the window receives
    // (an updater that stops posts one too, so the count alone is not enough).
    bool pass(IconUpdater& updater) {
        int before = window.passMessages;
        updater.startPass();
        bool done = false;
        return pumpUntil(
            [&] {
                done = done || WaitForSingleObject(updater.doneEvent(), 0) == WAIT_OBJECT_0;
                return done && window.passMessages > before;
            },
            60000);
    }

    // The window's entries as a refresh of Wine's manager leaves them.
    void readServices() {
        entries.clear();
        tables = std::make_unique<ShownTables>();
        ServiceReader reader(nullptr);
        reader.setHost("");
        reader.startRead();
        NullEntrySink sink;
        runRefreshCycle(reader.state(), *tables, true, entries, sink,
                        [&] { return waitForReaderStep(reader); });
    }
    void showRows(const std::vector<TableRow>& rows) {
        ServiceTable table = ServiceColumns::newTable();
        for (const TableRow& row : rows) {
            table.addRow(row);
        }
        NullEntrySink sink;
        entries.applyDifference(table, nullptr, sink);
    }
    const ServiceEntry& entryNamed(const std::string& name) {
        const ServiceEntry* entry = entries.find(entries.numberOf(SharedText(name)));
        static const ServiceEntry none;
        EXPECT_NE(entry, nullptr) << name;
        return entry ? *entry : none;
    }

    std::string folder;
    IconCacheFiles files;
    std::vector<std::string> extraFiles;
    HostWindow window;
    ServiceEntries entries;
    Plinth::CriticalSection refreshLock;
    std::unique_ptr<ShownTables> tables;
};

} // namespace

TEST_F(IconUpdaterTest, FirstStartShowsClassIconsThenFileIconsAndTheNextStartAtOnce) {
    std::string withIcon = services.create({"", programPath("kelvane.exe")});
    std::string withoutIcon = services.create();
    readServices();
    const std::string iconPath = entryNamed(withIcon).binaryPath.str();
    ASSERT_FALSE(iconPath.empty());

    int fileIcon = -1;
    IconImage pixels;
    {
        auto updater = makeUpdater();
        EXPECT_FALSE(updater->startedFromCache());
        EXPECT_EQ(ImageList_GetImageCount(updater->imageList()), 8);
        EXPECT_EQ(updater->cachedIcon(entryNamed(withIcon)), 4) << "class icon: stopped service";
        ASSERT_TRUE(pass(*updater));
        fileIcon = entryNamed(withIcon).iconIndex;
        EXPECT_GE(fileIcon, 8);
        EXPECT_EQ(entryNamed(withoutIcon).iconIndex, 4);
        EXPECT_EQ(updater->cachedIcon(entryNamed(withoutIcon)), 4);
        Plinth::UniqueIcon shown(ImageList_GetIcon(updater->imageList(), fileIcon, ILD_NORMAL));
        pixels = iconImage(shown.get()).value_or(IconImage{});
    }

    readServices(); // the next run's entries, no icon resolved yet
    auto updater = makeUpdater();
    EXPECT_TRUE(updater->startedFromCache());
    EXPECT_EQ(entryNamed(withIcon).iconIndex, -1);
    EXPECT_EQ(updater->cachedIcon(entryNamed(withIcon)), fileIcon) << "before any pass";
    Plinth::UniqueIcon shown(ImageList_GetIcon(updater->imageList(), fileIcon, ILD_NORMAL));
    EXPECT_EQ(iconImage(shown.get()).value_or(IconImage{}), pixels) << "the same picture";
    ASSERT_TRUE(pass(*updater));
    EXPECT_EQ(entryNamed(withIcon).iconIndex, fileIcon) << "no second extraction";
}

TEST_F(IconUpdaterTest, MoreThan300ImageFilesGetTheirOwnIconsWithoutWrapping) {
    const int count = 310;
    std::vector<TableRow> rows;
    for (int i = 0; i < count; ++i) {
        std::string path = folder + "\\icon" + std::to_string(i) + ".ico";
        writeIconFile(path, 0x800000u + static_cast<std::uint32_t>(i));
        extraFiles.push_back(path);
        rows.push_back(syntheticRow("kvmany-" + std::to_string(1000 + i), path,
                                    SERVICE_WIN32_OWN_PROCESS, SERVICE_STOPPED));
    }
    showRows(rows);
    {
        auto updater = makeUpdater();
        for (const auto& [number, entry] : entries.entries()) {
            window.addItem(number);
        }
        ASSERT_TRUE(pass(*updater));
        std::set<int> shown;
        int item = 0;
        for (const auto& [number, entry] : entries.entries()) {
            int image = window.itemImage(item++);
            shown.insert(image);
            EXPECT_EQ(image, entry.iconIndex);
        }
        EXPECT_EQ(shown.size(), static_cast<std::size_t>(count));
        EXPECT_EQ(*shown.rbegin(), 8 + count - 1) << "the list view keeps indexes past 255";
        HIMAGELIST list = updater->imageList();
        EXPECT_EQ(ImageList_GetImageCount(list), 8 + count);
        EXPECT_EQ(middleColour(list, 8), 0x800000u);
        EXPECT_EQ(middleColour(list, 8 + 299), 0x800000u + 299);
        EXPECT_EQ(ListView_DeleteAllItems(window.list()), TRUE);
    }
    auto again = makeUpdater();
    EXPECT_TRUE(again->startedFromCache());
    EXPECT_EQ(middleColour(again->imageList(), 8 + 299), 0x800000u + 299) << "from the cache";
    EXPECT_EQ(again->cachedIcon(entryNamed("kvmany-1300")), 8 + 300);
}

TEST_F(IconUpdaterTest, APassWaitsForTheRefreshLockAndAStopEndsTheWait) {
    showRows({syntheticRow("kvlocked", programPath("kelvane.exe"), SERVICE_WIN32_OWN_PROCESS,
                           SERVICE_STOPPED)});
    auto updater = makeUpdater();
    refreshLock.enter();
    updater->startPass();
    EXPECT_EQ(WaitForSingleObject(updater->doneEvent(), 300), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(entryNamed("kvlocked").iconIndex, -1) << "nothing happens while a refresh runs";
    refreshLock.leave();
    ASSERT_EQ(WaitForSingleObject(updater->doneEvent(), 60000), WAIT_OBJECT_0);
    EXPECT_GE(entryNamed("kvlocked").iconIndex, 8);

    refreshLock.enter();
    updater->startPass();
    EXPECT_EQ(updater->stop(Plinth::WorkerThread::JoinBlocking, 60000),
              static_cast<int>(WAIT_OBJECT_0));
    refreshLock.leave();
}
