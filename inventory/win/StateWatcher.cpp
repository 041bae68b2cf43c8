#include "inventory/win/StateWatcher.h"

#include "framework/Exception.h"
#include "framework/win/DispatchingWaits.h"
#include "inventory/win/ServiceEnumeration.h"

#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace kelvane {

namespace {

// Every state, and the deletion, which ends a registration.
constexpr DWORD notifyMask = SERVICE_NOTIFY_STOPPED | SERVICE_NOTIFY_START_PENDING |
                             SERVICE_NOTIFY_STOP_PENDING | SERVICE_NOTIFY_RUNNING |
                             SERVICE_NOTIFY_CONTINUE_PENDING | SERVICE_NOTIFY_PAUSE_PENDING |
                             SERVICE_NOTIFY_PAUSED | SERVICE_NOTIFY_DELETE_PENDING;

// How long a closed registration's record is kept: the manager may have
// fired just before the close, and its writing of the record and the queued
// call both come after it.
constexpr DWORD retireGraceMs = 1000;

// The manager asks a client whose notifications fell behind to open anew;
// MinGW's headers lack the name.
constexpr DWORD errorClientLagging = 1294; // ERROR_SERVICE_NOTIFY_CLIENT_LAGGING

bool isGone(DWORD error) {
    return error == ERROR_SERVICE_DOES_NOT_EXIST || error == ERROR_SERVICE_MARKED_FOR_DELETE;
}

// One service's notification: the record the manager writes and calls back
// with, and the handle it belongs to. Records live at a fixed address from
// the first arming until retireGraceMs after the handle was closed.
struct Registration {
    SERVICE_NOTIFYW record{};
    Plinth::UniqueServiceHandle service;
    std::string name;
    std::vector<Registration*>* fired = nullptr; // the watching thread's
    DWORD closedAt = 0;
};

// Closed registrations kept past the end of the thread that closed them:
// its queued calls are gone with it, but a write of the manager may still
// be on its way. Never destroyed, so no exit-time destructor frees a record
// under such a write.
struct Quarantine {
    std::mutex mutex;
    std::vector<std::unique_ptr<Registration>> records;
};

Quarantine& quarantine() {
    static Quarantine* kept = new Quarantine;
    return *kept;
}

bool settled(const Registration& registration) {
    return GetTickCount() - registration.closedAt >= retireGraceMs;
}

void CALLBACK notified(void* parameter) {
    auto* registration =
        static_cast<Registration*>(static_cast<SERVICE_NOTIFYW*>(parameter)->pContext);
    // A call queued before its handle was closed finds it closed: nothing.
    if (registration->service) {
        registration->fired->push_back(registration);
    }
}

} // namespace

// What the thread holds: the manager of the host followed, the armed
// registrations, the services polled and the closed records.
class StateWatcher::Watch {
public:
    explicit Watch(StateWatcher& owner) : owner_(owner) {}
    ~Watch() {
        retireAll();
        updateCounts();
        // Calls queued before the closing run now and find their handles closed.
        SleepEx(0, TRUE);
        freeSettled();
        std::lock_guard<std::mutex> guard(quarantine().mutex);
        for (auto& registration : retired_) {
            quarantine().records.push_back(std::move(registration));
        }
    }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    void follow(const Target& target) {
        if (!connection_ || target.host != host_ || target.isLocal != isLocal_) {
            openManager(target);
        }
        std::unordered_set<std::string> wanted;
        for (const Followed& service : target.services) {
            wanted.insert(service.name);
        }
        for (auto it = active_.begin(); it != active_.end();) {
            if (wanted.count(it->first)) {
                ++it;
            } else {
                retire(std::move(it->second));
                it = active_.erase(it);
            }
        }
        polled_.clear();
        // Services first: they are what other programs start and stop.
        for (bool drivers : {false, true}) {
            for (const Followed& service : target.services) {
                if (owner_.stopRequests() != 0) {
                    break;
                }
                if (service.driver == drivers && !active_.count(service.name)) {
                    followOne(service.name);
                }
            }
        }
        lastPoll_ = GetTickCount() - pollIntervalMs;
        updateCounts();
    }

    void letGo(const std::vector<std::string>& names) {
        for (const std::string& name : names) {
            auto found = active_.find(name);
            if (found != active_.end()) {
                retire(std::move(found->second));
                active_.erase(found);
            }
        }
        updateCounts();
    }

    // The registrations whose calls ran in the last wait: report, arm again.
    void takeFired() {
        std::vector<Registration*> fired;
        fired.swap(fired_);
        for (Registration* registration : fired) {
            // A stop closes them all; arming them again first would only
            // make the window wait longer.
            if (owner_.stopRequests() != 0) {
                break;
            }
            if (!registration->service) {
                continue;
            }
            const SERVICE_NOTIFYW& record = registration->record;
            DWORD error = record.dwNotificationStatus;
            if (error == ERROR_SUCCESS &&
                (record.dwNotificationTriggered & SERVICE_NOTIFY_DELETE_PENDING) != 0) {
                error = ERROR_SERVICE_MARKED_FOR_DELETE;
            }
            ++owner_.notifications_;
            if (error == ERROR_SUCCESS) {
                owner_.report({registration->name, record.ServiceStatus.dwCurrentState,
                               record.ServiceStatus.dwProcessId});
                if (arm(*registration)) {
                    continue;
                }
                error = lastArmError_;
            }
            endRegistration(registration->name, error);
        }
        updateCounts();
    }

    void pollIfDue(bool visible) {
        if (polled_.empty() || !connection_ || GetTickCount() - lastPoll_ < pollIntervalMs) {
            return;
        }
        // A hidden or minimised window looks again an interval later.
        lastPoll_ = GetTickCount();
        if (!visible) {
            return;
        }
        ++owner_.polls_;
        // Only the active services are listed: one that is not among them
        // is stopped, so a poll costs what runs, not what is installed.
        std::unordered_set<std::string> active;
        try {
            enumerator_.enumerate(
                connection_->manager(), SERVICE_ACTIVE, [&](const EnumeratedService& service) {
                    if (polled_.count(service.serviceName)) {
                        active.insert(service.serviceName);
                        polledState(service.serviceName, {service.state, service.processId});
                    }
                });
        } catch (const Plinth::Exception&) {
            return; // the next poll asks again
        }
        for (const auto& [name, known] : polled_) {
            if (!active.count(name)) {
                polledState(name, {SERVICE_STOPPED, 0});
            }
        }
    }

    // Until the next poll, or the next look whether the window is shown.
    DWORD timeoutMs() const {
        if (polled_.empty() || !connection_) {
            return INFINITE;
        }
        const DWORD since = GetTickCount() - lastPoll_;
        return since >= pollIntervalMs ? 0 : pollIntervalMs - since;
    }

    void freeSettled() {
        for (auto it = retired_.begin(); it != retired_.end();) {
            it = settled(**it) ? retired_.erase(it) : it + 1;
        }
        std::lock_guard<std::mutex> guard(quarantine().mutex);
        auto& kept = quarantine().records;
        for (auto it = kept.begin(); it != kept.end();) {
            it = settled(**it) ? kept.erase(it) : it + 1;
        }
    }

private:
    struct Known {
        DWORD state = 0;
        DWORD processId = 0;
        bool operator!=(const Known& other) const {
            return state != other.state || processId != other.processId;
        }
    };

    void polledState(const std::string& name, const Known& now) {
        Known& known = polled_[name];
        if (known != now) {
            known = now;
            owner_.report({name, now.state, now.processId});
        }
    }

    // Another computer is always polled, and so is a service whose
    // notification was refused or that finds no room; its first poll tells
    // its state.
    void followOne(const std::string& name) {
        if (!isLocal_ || !connection_ || refused_.count(name) ||
            active_.size() >= maxNotifications || !startNotifications(name)) {
            polled_.emplace(name, Known{});
        }
    }

    void openManager(const Target& target) {
        retireAll();
        polled_.clear();
        refused_.clear();
        host_ = target.host;
        isLocal_ = target.isLocal;
        connection_ = std::make_unique<ScmConnection>();
        try {
            const DWORD rights = SC_MANAGER_CONNECT | SC_MANAGER_ENUMERATE_SERVICE;
            if (owner_.setup_.openManager) {
                owner_.setup_.openManager(*connection_, host_, rights);
            } else {
                connection_->openManager(host_, rights);
            }
        } catch (const Plinth::Exception&) {
            // The refresh shows why; the next one tries again.
            connection_.reset();
        }
    }

    // False when the manager refuses, which is remembered; a service that
    // is gone is no failure.
    bool startNotifications(const std::string& name) {
        auto registration = std::make_unique<Registration>();
        registration->service.reset(
            OpenServiceA(connection_->manager(), name.c_str(), SERVICE_QUERY_STATUS));
        if (!registration->service) {
            return refusedUnlessGone(name, GetLastError());
        }
        registration->name = name;
        registration->fired = &fired_;
        registration->record.dwVersion = SERVICE_NOTIFY_STATUS_CHANGE;
        registration->record.pfnNotifyCallback = &notified;
        registration->record.pContext = registration.get();
        if (!arm(*registration)) {
            const DWORD error = lastArmError_;
            retire(std::move(registration));
            return refusedUnlessGone(name, error);
        }
        active_.emplace(name, std::move(registration));
        return true;
    }

    bool refusedUnlessGone(const std::string& name, DWORD error) {
        if (isGone(error)) {
            return true;
        }
        refused_.insert(name);
        return false;
    }

    bool arm(Registration& registration) {
        const StatusNotifier& notifier = owner_.setup_.notifier;
        lastArmError_ = notifier ? notifier(registration.service.get(), registration.name,
                                            notifyMask, &registration.record)
                                 : NotifyServiceStatusChangeW(registration.service.get(),
                                                              notifyMask, &registration.record);
        return lastArmError_ == ERROR_SUCCESS;
    }

    // A deleted service leaves quietly; one whose notification failed is
    // registered anew once (the manager asks that of a lagging client) and
    // otherwise polled.
    void endRegistration(const std::string& name, DWORD error) {
        auto found = active_.find(name);
        if (found == active_.end()) {
            return;
        }
        retire(std::move(found->second));
        active_.erase(found);
        if (isGone(error)) {
            return;
        }
        if (error == errorClientLagging && startNotifications(name) && active_.count(name)) {
            return;
        }
        refused_.insert(name);
        polled_.emplace(name, Known{});
    }

    void retire(std::unique_ptr<Registration> registration) {
        registration->service.reset();
        registration->closedAt = GetTickCount();
        retired_.push_back(std::move(registration));
    }

    void retireAll() {
        for (auto& [name, registration] : active_) {
            retire(std::move(registration));
        }
        active_.clear();
    }

    void updateCounts() {
        owner_.registrations_ = static_cast<unsigned>(active_.size());
        owner_.polled_ = static_cast<unsigned>(polled_.size());
    }

    StateWatcher& owner_;
    std::unique_ptr<ScmConnection> connection_;
    std::string host_;
    bool isLocal_ = true;
    std::unordered_map<std::string, std::unique_ptr<Registration>> active_;
    std::vector<std::unique_ptr<Registration>> retired_;
    std::vector<Registration*> fired_;
    DWORD lastArmError_ = ERROR_SUCCESS;
    std::unordered_map<std::string, Known> polled_;
    std::unordered_set<std::string> refused_;
    DWORD lastPoll_ = 0;
    ServiceEnumerator enumerator_;
};

StateWatcher::StateWatcher(Setup setup)
    : WorkerThread("StateWatcher", &wake), setup_(std::move(setup)) {
    start();
}

StateWatcher::~StateWatcher() {
    stop(JoinBlocking, stopBoundMs);
}

void StateWatcher::follow(const std::string& host, bool isLocal, std::vector<Followed> services) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        target_ = {host, isLocal, std::move(services)};
        targetNew_ = true;
    }
    SetEvent(followed.get());
}

bool StateWatcher::letGo(std::vector<std::string> serviceNames, DWORD boundMs) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        letGo_ = std::move(serviceNames);
    }
    ResetEvent(letGone.get());
    SetEvent(followed.get());
    HANDLE done = letGone.get();
    return Plinth::waitForObjects(1, &done, false, boundMs) == WAIT_OBJECT_0;
}

std::vector<std::string> StateWatcher::takeLetGo() {
    std::lock_guard<std::mutex> guard(mutex_);
    return std::exchange(letGo_, {});
}

bool StateWatcher::takeTarget(Target& target) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!targetNew_) {
        return false;
    }
    targetNew_ = false;
    target = std::move(target_);
    return true;
}

std::vector<ServiceState> StateWatcher::takeChanges() {
    std::lock_guard<std::mutex> guard(mutex_);
    posted_ = false;
    return std::exchange(changes_, {});
}

StateWatcher::Counts StateWatcher::counts() const {
    return {registrations_.load(), polled_.load(), polls_.load(), notifications_.load()};
}

void StateWatcher::report(const ServiceState& state) {
    bool announce = false;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        changes_.push_back(state);
        announce = !posted_;
        posted_ = true;
    }
    if (announce) {
        PostMessageA(setup_.window, changesMessage, 0, 0);
    }
}

bool StateWatcher::windowVisible() const {
    return IsWindowVisible(setup_.window) && !IsIconic(setup_.window);
}

std::int32_t StateWatcher::run() {
    Watch watch(*this);
    HANDLE events[] = {wake.get(), followed.get()};
    while (stopRequests() == 0) {
        // Alertable: the manager's notifications run as queued calls here.
        const DWORD woken = WaitForMultipleObjectsEx(2, events, FALSE, watch.timeoutMs(), TRUE);
        if (woken == WAIT_FAILED) {
            return -1;
        }
        if (stopRequests() != 0) {
            break;
        }
        watch.takeFired();
        if (woken == WAIT_OBJECT_0 + 1) {
            const std::vector<std::string> letGo = takeLetGo();
            if (!letGo.empty()) {
                watch.letGo(letGo);
                SetEvent(letGone.get());
            }
            Target target;
            if (takeTarget(target)) {
                watch.follow(target);
            }
        }
        watch.pollIfDue(windowVisible());
        watch.freeSettled();
    }
    return 0;
}

} // namespace kelvane
