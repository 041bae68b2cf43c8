#pragma once
// The "IconUpdater" thread: after every refresh and list rebuild it gives
// each entry its icon and each image file its details, saves the icon cache
// and posts WM_APP + 1 to the window, which then redraws its list without
// starting another pass. It also holds the image list the list view shows.
//
// The image list is touched only on the window's thread: the pass appends
// to the catalog, and imageList() and cachedIcon() copy what is new into the
// image list. So the list view never draws from a list that another thread
// is growing. The list view must share the list (LVS_SHAREIMAGELISTS): this
// object destroys it.
#include "framework/win/CriticalSection.h"
#include "framework/win/UniqueHandle.h"
#include "framework/win/WorkerThread.h"
#include "inventory/FileDetailsMap.h"
#include "inventory/IconCatalog.h"
#include "inventory/ServiceEntries.h"
#include "inventory/win/IconImages.h"

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <string>

namespace kelvane {

namespace detail {
// Made before the thread, which needs the wake event.
struct UpdaterEvents {
    Plinth::UniqueHandleObject wake{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    Plinth::UniqueHandleObject startEvent{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    Plinth::UniqueHandleObject done{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
};
} // namespace detail

class IconUpdater final : private detail::UpdaterEvents, public Plinth::WorkerThread {
public:
    static constexpr UINT passDoneMessage = WM_APP + 1;

    struct Setup {
        HWND window = nullptr;             // receives passDoneMessage after every pass
        IconCacheFiles files;              // iconCacheFiles(local app data); empty: no cache
        ServiceEntries* entries = nullptr; // the window's entries
        Plinth::CriticalSection* refreshLock = nullptr; // held for each whole pass
        // Whether the reader's host is this computer; asked on the updater's
        // thread at each pass, e.g. [&reader] { return reader.hostInfo().isLocal; }.
        std::function<bool()> hostIsLocal;
    };

    // Reads the cache files into the catalog and the image list. The thread
    // waits suspended until the first pass.
    explicit IconUpdater(Setup setup);
    ~IconUpdater() override;

    // Window thread: the list for LVM_SETIMAGELIST with LVSIL_SMALL.
    HIMAGELIST imageList();
    // Window thread: the image index an item shows now (LVN_GETDISPINFO's
    // iImage); full width, never wrapped.
    int cachedIcon(const ServiceEntry& entry);
    // What is known of an image file (the file columns and the filter).
    FileDetails details(const std::string& path) const { return details_.find(path); }
    const FileDetailsMap& detailsMap() const { return details_; }
    // After a change of computer: the paths name another machine's files.
    void forgetDetails() { details_.clear(); }

    // For a window made after this object; passDoneMessage goes to the latest.
    void setWindow(HWND window) { window_ = window; }

    // Resumes the thread at the first call and starts one pass.
    void startPass();
    // Set when a pass has ended (auto-reset), with passDoneMessage.
    HANDLE doneEvent() const { return done.get(); }
    // True when the cache files were taken at construction.
    bool startedFromCache() const { return fromCache_; }

    std::int32_t run() override;

private:
    // Appends what the passes found since the last call to the image list.
    void showNewIcons();
    bool enterRefreshLock();

    Setup setup_;
    std::atomic<HWND> window_;
    IconCatalog catalog_;
    FileDetailsMap details_;
    UniqueImageList imageList_;
    bool fromCache_ = false;
};

} // namespace kelvane
