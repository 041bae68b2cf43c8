// The icon updater as the main window runs it, posting to a hidden window
// whose messages stay queued for the test to read, against Wine's shell and
// image lists, with real icon and cache files. Which icon an entry shows and
// how the two cache files pair are the native IconCacheTest's business. And
// the registry watcher on the services key that start-up opens, posting the
// same way; a service renamed by another program reaching the list is the
// main window's test.
#include "inventory/win/IconUpdater.h"
#include "inventory/win/RegistryWatcher.h"
#include "tests/windows/support/TestServices.h"

#include "framework/win/ModuleResources.h"
#include "inventory/RowBuilder.h"
#include "inventory/ServiceColumns.h"
#include "shell/win/ServiceDatabaseKey.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace kelvane;
using namespace kelvane::test;

namespace {

// A one-image 16 x 16 .ico file of a single colour (0xRRGGBB), fully opaque.
void writeIconFile(const std::string& path, std::uint32_t rgb) {
    // Directory: one image of 1128 bytes (header, colours, mask) at offset 22.
    std::string bytes("\0\0\1\0\1\0\x10\x10\0\0\1\0\x20\0\x68\x04\0\0\x16\0\0\0", 22);
    const BITMAPINFOHEADER header{sizeof header, 16, 32, 1, 32, 0, 0, 0, 0, 0, 0};
    bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
    const std::uint32_t pixel = 0xFF000000u | rgb;
    for (int i = 0; i < 16 * 16; ++i) {
        bytes.append(reinterpret_cast<const char*>(&pixel), sizeof pixel);
    }
    bytes.append(16 * 4, '\0'); // AND mask: all opaque
    writeBytes(path, bytes);
}

class IconUpdaterTest : public ::testing::Test {
protected:
    void SetUp() override {
        Plinth::setResourceModule(GetModuleHandleA(nullptr));
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    void TearDown() override {
        DestroyWindow(window);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::unique_ptr<IconUpdater> makeUpdater() {
        IconUpdater::Setup setup;
        setup.window = window;
        setup.files = iconCacheFiles(folder);
        setup.entries = &entries;
        setup.refreshLock = &refreshLock;
        setup.hostIsLocal = [] { return true; };
        return std::make_unique<IconUpdater>(setup);
    }

    // Stopped services of the given image files, as a refresh shows them.
    void showServices(const std::vector<std::string>& paths) {
        ServiceTable table = ServiceColumns::newTable();
        for (const std::string& path : paths) {
            std::string name = "kvicon-" + std::to_string(1000 + table.rowCount());
            table.addRow(buildServiceRow(
                RowTexts{}, {name, name, SERVICE_WIN32_OWN_PROCESS, SERVICE_STOPPED, 0},
                ServiceConfiguration{3, "", path, path}, ""));
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

    inline static int folders = 0;
    const std::string folder = scratchPath("icons-" + std::to_string(++folders));
    HWND window =
        CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ServiceEntries entries;
    Plinth::CriticalSection refreshLock;
};

class RegistryWatcherTest : public ServiceFixture {
protected:
    void SetUp() override { ASSERT_TRUE(openServiceDatabaseKey()); }
    void TearDown() override {
        closeServiceDatabaseKey();
        DestroyWindow(window);
    }
    bool refreshAsked() {
        MSG message;
        return PeekMessageA(&message, window, WM_APP, WM_APP, PM_REMOVE);
    }

    HWND window =
        CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
};

} // namespace

// Image lists past 255 images and their round trip through the cache files
// are Wine's comctl32 and storage at work.
TEST_F(IconUpdaterTest, MoreThan300ImageFilesGetTheirOwnIconsWithoutWrapping) {
    const int count = 310;
    std::vector<std::string> iconFiles;
    for (int i = 0; i < count; ++i) {
        iconFiles.push_back(folder + "\\icon" + std::to_string(i) + ".ico");
        writeIconFile(iconFiles.back(), 0x800000u + static_cast<std::uint32_t>(i));
    }
    showServices(iconFiles);
    {
        auto updater = makeUpdater();
        updater->startPass();
        ASSERT_EQ(WaitForSingleObject(updater->doneEvent(), 60000), WAIT_OBJECT_0);
        EXPECT_TRUE(waitUntil([&] {
            MSG done;
            return PeekMessageA(&done, window, IconUpdater::passDoneMessage,
                                IconUpdater::passDoneMessage, PM_REMOVE) != FALSE;
        })) << "the window hears of the pass";
        EXPECT_EQ(updater->cachedIcon(entryNamed("kvicon-1309")), 8 + count - 1);
    }
    auto again = makeUpdater();
    Plinth::UniqueIcon icon(ImageList_GetIcon(again->imageList(), 8 + 299, ILD_NORMAL));
    EXPECT_EQ(iconImage(icon.get()).value_or(IconImage{}).colour[8 * 16 + 8] & 0xFFFFFF,
              0x800000u + 299)
        << "the picture, from the cache";
    EXPECT_EQ(again->cachedIcon(entryNamed("kvicon-1300")), 8 + 300) << "before any pass";
}

TEST_F(IconUpdaterTest, APassWaitsForTheRefreshLockAndAStopEndsTheWait) {
    showServices({programPath("kelvane.exe")});
    auto updater = makeUpdater();
    refreshLock.enter();
    updater->startPass();
    EXPECT_EQ(WaitForSingleObject(updater->doneEvent(), 300), static_cast<DWORD>(WAIT_TIMEOUT));
    refreshLock.leave();
    ASSERT_EQ(WaitForSingleObject(updater->doneEvent(), 60000), WAIT_OBJECT_0);
    EXPECT_GE(entryNamed("kvicon-1000").iconIndex, 8) << "the program's own icon";

    refreshLock.enter();
    updater->startPass();
    EXPECT_EQ(updater->stop(Plinth::WorkerThread::JoinBlocking, 60000),
              static_cast<int>(WAIT_OBJECT_0));
    refreshLock.leave();
}

TEST_F(RegistryWatcherTest, AnotherProcessChangingAValueBelowAServiceIsSeen) {
    const std::string name = services.create();
    // Made before its window, as a dialog's members are.
    RegistryWatcher watcher(serviceDatabaseKey(), nullptr);
    watcher.setWindow(window);
    ASSERT_EQ(runProcess("reg.exe add \"HKLM\\SYSTEM\\CurrentControlSet\\Services\\" + name +
                         "\\Parameters\" /v Probe /t REG_SZ /d 1 /f"),
              0);
    EXPECT_TRUE(waitUntil([&] { return refreshAsked(); }, 60000)) << "the subtree is watched";
}

// A stop that ends the watcher is every main window test's closing.
TEST_F(RegistryWatcherTest, AKeyThatCannotBeWatchedEndsTheWatcherQuietly) {
    Plinth::UniqueKey closed;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM", 0, KEY_READ, closed.put()),
              ERROR_SUCCESS);
    HKEY stale = closed.get();
    closed.reset();
    RegistryWatcher watcher(stale, window);
    ASSERT_EQ(WaitForSingleObject(watcher.handle(), 60000), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(watcher.handle(), &code));
    EXPECT_EQ(code, static_cast<DWORD>(-1));
    EXPECT_FALSE(refreshAsked());
}
