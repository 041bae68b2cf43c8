#include "inventory/win/IconUpdater.h"

#include "framework/win/UniqueHandle.h"
#include "inventory/IconPass.h"
#include "inventory/win/FileDetailsReader.h"

#include <limits>

namespace kelvane {

namespace {

// Cache files in the local application-data folder, through the platform.
class PlatformCacheStorage : public IconCacheStorage {
public:
    std::optional<std::string> readFile(const std::string& path) override {
        Plinth::UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                                                  nullptr));
        LARGE_INTEGER size{};
        // Far beyond any real cache; a larger file is not ours.
        constexpr LONGLONG largest = 256LL << 20;
        if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > largest) {
            return std::nullopt;
        }
        std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
        DWORD read = 0;
        if (!bytes.empty() && (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                         &read, nullptr) ||
                               read != bytes.size())) {
            return std::nullopt;
        }
        return bytes;
    }

    bool writeNewFile(const std::string& path, const std::string& bytes) override {
        createFolders(path);
        Plinth::UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            return false;
        }
        DWORD written = 0;
        return bytes.size() <= std::numeric_limits<DWORD>::max() &&
               WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                         nullptr) &&
               written == bytes.size();
    }

    void removeFile(const std::string& path) override { DeleteFileA(path.c_str()); }

private:
    // The folder "Dunmere" does not exist before anything was saved.
    static void createFolders(const std::string& path) {
        for (std::size_t at = path.find_first_of("\\/", 3); at != std::string::npos;
             at = path.find_first_of("\\/", at + 1)) {
            CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
        }
    }
};

} // namespace

IconUpdater::IconUpdater(Setup setup)
    : WorkerThread("IconUpdater", &wake), setup_(std::move(setup)), window_(setup_.window) {
    PlatformCacheStorage storage;
    fromCache_ = catalog_.load(setup_.files, storage);
    imageList_ = createClassIconList();
    showNewIcons();
}

IconUpdater::~IconUpdater() {
    stop(JoinBlocking, INFINITE);
}

HIMAGELIST IconUpdater::imageList() {
    showNewIcons();
    return imageList_.get();
}

int IconUpdater::cachedIcon(const ServiceEntry& entry) {
    showNewIcons();
    int shown = imageList_ ? ImageList_GetImageCount(imageList_.get()) : 0;
    return kelvane::cachedIcon(entry, catalog_, shown);
}

void IconUpdater::showNewIcons() {
    if (!imageList_) {
        return;
    }
    int shown = ImageList_GetImageCount(imageList_.get());
    for (const IconImage& image : catalog_.imagesFrom(shown)) {
        // A gap would move every later icon to a wrong index; the rest is
        // tried again at the next call.
        if (addIconImage(imageList_.get(), image) == -1) {
            break;
        }
    }
}

void IconUpdater::startPass() {
    WorkerThread::start();
    ResetEvent(done.get());
    SetEvent(startEvent.get());
}

bool IconUpdater::enterRefreshLock() {
    // Polled, so that a stop ends the wait even while the window holds the
    // lock for a long refresh.
    while (!setup_.refreshLock->tryEnter()) {
        if (stopRequests() != 0) {
            return false;
        }
        WaitForSingleObject(wake.get(), 10);
    }
    return true;
}

std::int32_t IconUpdater::run() {
    HANDLE events[] = {startEvent.get(), wake.get()};
    PlatformCacheStorage storage;
    while (stopRequests() == 0) {
        WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (stopRequests() == 0 && setup_.entries && setup_.refreshLock && enterRefreshLock()) {
            struct Leave {
                Plinth::CriticalSection& lock;
                ~Leave() { lock.leave(); }
            } leave{*setup_.refreshLock};
            IconPassTools tools{catalog_,
                                details_,
                                extractSmallIcon,
                                readFileDetails,
                                !setup_.hostIsLocal || setup_.hostIsLocal(),
                                [this] { return stopRequests() != 0; }};
            runIconPass(*setup_.entries, tools);
        }
        if (stopRequests() == 0) {
            catalog_.save(setup_.files, storage);
        }
        SetEvent(done.get());
        PostMessageA(window_.load(), passDoneMessage, 0, 0);
    }
    return 0;
}

} // namespace kelvane
