#pragma once
// The "StateWatcher" thread: follows the state of every service the list
// shows, so a service started, stopped or ended by another program shows its
// new state at once, without a read. On this computer it asks the manager
// for a status notification per service (armed again after each); for
// another computer, and for services whose notification the manager refuses
// or finds no room, it enumerates the active services (state only) every two
// seconds while the window can be seen. The states found are queued and
// announced to the window by one posted message per batch; the window
// applies them (inventory/StateUpdate.h).
//
// Notifications arrive as calls queued to the thread that registered them,
// so registering, re-arming and closing all happen on this thread, which
// waits alertably.
#include "framework/win/UniqueHandle.h"
#include "framework/win/WorkerThread.h"
#include "inventory/StateUpdate.h"
#include "inventory/win/ServiceRead.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kelvane {

// Asks the manager for one notification on an open service handle and
// returns its error code: NotifyServiceStatusChangeW unless a test hands in
// one that refuses or plays the manager.
using StatusNotifier = std::function<DWORD(SC_HANDLE service, const std::string& serviceName,
                                           DWORD mask, SERVICE_NOTIFYW* record)>;

namespace detail {
// Made before the thread, which needs the wake event.
struct StateWatcherEvents {
    Plinth::UniqueHandleObject wake{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    Plinth::UniqueHandleObject followed{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    Plinth::UniqueHandleObject letGone{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
};
} // namespace detail

class StateWatcher final : private detail::StateWatcherEvents, public Plinth::WorkerThread {
public:
    static constexpr UINT changesMessage = WM_APP + 2;
    static constexpr DWORD pollIntervalMs = 2000;
    // The most notifications held at once; services past it are polled.
    // Wine's manager gives each pending one a thread of its own and stops
    // answering every client at about 480; a few hundred cover the services
    // of most computers, and services come before drivers.
    static constexpr std::size_t maxNotifications = 400;
    // The longest its owner waits for the thread to end; a thread still
    // closing its handles then ends by itself (WorkerThread::stopWithin).
    static constexpr DWORD stopBoundMs = 5000;

    struct Setup {
        HWND window = nullptr;     // gets changesMessage; polling only while it can be seen
        ManagerOpener openManager; // none: the host's own manager
        StatusNotifier notifier;   // none: the manager's notifications
    };

    struct Counts {
        unsigned registrations = 0; // notifications armed now
        unsigned polled = 0;        // services followed by polling now
        unsigned polls = 0;         // enumerations since the start
        unsigned notifications = 0; // notifications taken since the start
    };

    // The thread starts at once and waits for the first follow.
    explicit StateWatcher(Setup setup);
    ~StateWatcher() override;

    struct Followed {
        std::string name;
        bool driver = false;
    };
    // After each refresh: the computer the list shows and the services read.
    void follow(const std::string& host, bool isLocal, std::vector<Followed> services);
    // Closes the registrations of these services and waits for that, while
    // dispatching the caller's messages, at most boundMs; false when it did
    // not come in time. An open handle keeps a deleted service in the
    // manager until it is closed, and Wine's manager does not say that it
    // was deleted: a window lets go of what its command may have deleted
    // before it reads the list again. The next follow registers them anew.
    bool letGo(std::vector<std::string> serviceNames, DWORD boundMs);
    // The states reported since the last call, oldest first. A state may be
    // one the list shows already.
    std::vector<ServiceState> takeChanges();
    Counts counts() const;

    std::int32_t run() override;

private:
    class Watch;
    struct Target {
        std::string host;
        bool isLocal = true;
        std::vector<Followed> services;
    };

    bool takeTarget(Target& target);
    std::vector<std::string> takeLetGo();
    void report(const ServiceState& state);
    bool windowVisible() const;

    Setup setup_;
    mutable std::mutex mutex_; // guards target_, targetNew_, letGo_, changes_ and posted_
    Target target_;
    bool targetNew_ = false;
    std::vector<std::string> letGo_;
    std::vector<ServiceState> changes_;
    bool posted_ = false; // a message announces changes_ and has not been answered
    std::atomic<unsigned> registrations_{0}, polled_{0}, polls_{0}, notifications_{0};
};

} // namespace kelvane
