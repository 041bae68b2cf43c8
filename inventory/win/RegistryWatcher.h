#pragma once
// The "RegWatcherThread": asks the system to signal any change below a
// registry key (the services key) and posts a message to the window for each
// signal, so the list follows changes that other programs make without
// polling. Quick changes give one or a few messages; each asks for a full
// refresh.
#include "framework/win/UniqueHandle.h"
#include "framework/win/WorkerThread.h"

#include <windows.h>

#include <atomic>

namespace kelvane {

namespace detail {
// Made before the thread, which needs the wake event.
struct WatcherEvents {
    Plinth::UniqueHandleObject wake{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    Plinth::UniqueHandleObject changeEvent{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
};
} // namespace detail

class RegistryWatcher final : private detail::WatcherEvents, public Plinth::WorkerThread {
public:
    // REG_NOTIFY_CHANGE_NAME, _ATTRIBUTES, _LAST_SET and _SECURITY.
    static constexpr DWORD allChanges = 15;

    // key: opened with notify access and owned by the caller, who keeps it
    // open until this object is gone. The thread starts at once.
    RegistryWatcher(HKEY key, HWND window, UINT message = WM_APP, bool watchSubtree = true,
                    DWORD filter = allChanges);
    // Stops the thread and waits for it; a wait without any change ends too.
    ~RegistryWatcher() override;

    // For a window made after this object (a dialog's handle exists only
    // from WM_INITDIALOG on); messages go to the latest one.
    void setWindow(HWND window) { window_ = window; }

    // 0 after a stop; -1 when the notification could not be armed.
    std::int32_t run() override;

private:
    bool arm();

    std::atomic<HWND> window_;
    UINT message_;
    HKEY key_;
    bool watchSubtree_;
    DWORD filter_;
};

} // namespace kelvane
