#include "inventory/win/ServiceReader.h"

#include "framework/win/DispatchingWaits.h"
#include "inventory/win/ServiceRead.h"

namespace kelvane {

ServiceReader::ServiceReader(HKEY servicesKey, ManagerOpener openManager)
    : WorkerThread("ServiceReader", &wake), servicesKey_(servicesKey),
      openManager_(std::move(openManager)) {}

ServiceReader::~ServiceReader() {
    stop(JoinBlocking, INFINITE);
}

void ServiceReader::setHost(const std::string& host) {
    HostInfo info = hostInfo();
    info.host = host;
    classifyHost(info);
    std::lock_guard<std::recursive_mutex> guard(state_.lock);
    host_ = info;
}

HostInfo ServiceReader::hostInfo() {
    std::lock_guard<std::recursive_mutex> guard(state_.lock);
    return host_;
}

void ServiceReader::startRead() {
    WorkerThread::start();
    state_.busy = true;
    ResetEvent(done.get());
    SetEvent(startEvent.get());
}

std::int32_t ServiceReader::run() {
    HANDLE events[] = {startEvent.get(), wake.get()};
    while (stopRequests() == 0) {
        WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (stopRequests() != 0) {
            break;
        }
        runOneRead(state_, [this] {
            HostInfo info = hostInfo();
            // The classification this read made is in place before busy ends,
            // also when the read fails.
            struct StoreHost {
                ServiceReader& reader;
                HostInfo& info;
                ~StoreHost() {
                    std::lock_guard<std::recursive_mutex> guard(reader.state_.lock);
                    reader.host_ = info;
                }
            } store{*this, info};
            readComputer(info, servicesKey_, state_, openManager_);
        });
        SetEvent(done.get());
    }
    // A stop during a read must not leave the window waiting for it.
    state_.busy = false;
    SetEvent(done.get());
    return 0;
}

bool waitForReaderStep(ServiceReader& reader) {
    HANDLE done = reader.doneEvent();
    return Plinth::waitForObjects(1, &done, false, 100) != -1;
}

} // namespace kelvane
