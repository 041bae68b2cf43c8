#pragma once
// The "ServiceReader" thread: reads every service of one computer into its
// table when the window asks, while the window applies what it has read so
// far (see inventory/RefreshCycle.h).
#include "framework/win/UniqueHandle.h"
#include "framework/win/WorkerThread.h"
#include "inventory/ReaderState.h"
#include "inventory/win/HostInfo.h"
#include "inventory/win/ServiceRead.h"

#include <windows.h>

#include <string>

namespace kelvane {

namespace detail {
// Made before the thread, which needs the wake event.
struct ReaderEvents {
    Plinth::UniqueHandleObject wake{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    Plinth::UniqueHandleObject startEvent{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    Plinth::UniqueHandleObject done{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
};
} // namespace detail

class ServiceReader : private detail::ReaderEvents, public Plinth::WorkerThread {
public:
    // servicesKey: the local services key that start-up opened (key times).
    // openManager: how each read opens the manager; empty for the platform's
    // (tests hand in one that fails or hangs as a remote computer can).
    explicit ServiceReader(HKEY servicesKey, ManagerOpener openManager = nullptr);
    ~ServiceReader() override;

    // Classifies host for the buttons that depend on it (refresh step 4).
    void setHost(const std::string& host);
    // Starts one read of the host last set; busy until doneEvent is set.
    void startRead();

    ReaderState& state() { return state_; }
    HANDLE doneEvent() const { return done.get(); }
    HostInfo hostInfo();

    std::int32_t run() override;

private:
    WinsockSession sockets_;
    HKEY servicesKey_;
    ManagerOpener openManager_;
    ReaderState state_;
    HostInfo host_; // under state_.lock
};

// The refresh's waits with this reader: steps of at most 100 ms on its done
// event, dispatching window messages; false when the application quits.
bool waitForReaderStep(ServiceReader& reader);

} // namespace kelvane
