#include "operations/win/ServiceQueries.h"

#include "framework/Exception.h"
#include "operations/win/ScmConnection.h"
#include "operations/win/WaitCursor.h"

namespace kelvane {

namespace {

void clearStateAndControls(SERVICE_STATUS& status) {
    status.dwCurrentState = 0;
    status.dwControlsAccepted = 0;
}

} // namespace

void queryStatusAndControls(const BusyCounter& busy, const std::string& host,
                            const ServiceEntry* entry, SERVICE_STATUS& status,
                            const StatusLineWriter& statusLine) {
    WaitCursor cursor;
    if (busy.busy() || !entry) {
        clearStateAndControls(status);
        return;
    }
    try {
        ScmConnection connection;
        std::string name = entry->serviceName.str();
        connection.openManager(host, managerRight::connectAndEnumerate);
        if (!QueryServiceStatus(connection.openService(name, SERVICE_QUERY_STATUS), &status)) {
            throw Plinth::LWE();
        }
        if (status.dwCurrentState != SERVICE_RUNNING && status.dwCurrentState != SERVICE_PAUSED) {
            status.dwControlsAccepted = 0;
            return;
        }
        // The recorded controls may be stale; the service answers for itself.
        SC_HANDLE service =
            connection.openService(name, SERVICE_INTERROGATE | SERVICE_QUERY_STATUS);
        if (!ControlService(service, SERVICE_CONTROL_INTERROGATE, &status)) {
            throw Plinth::LWE();
        }
    } catch (const Plinth::Exception& e) {
        if (statusLine) {
            statusLine(e.getMessage());
        }
        clearStateAndControls(status);
    }
}

const QUERY_SERVICE_CONFIGA* queryConfig(const BusyCounter& busy, const std::string& host,
                                         const ServiceEntry* entry, std::vector<BYTE>& buffer,
                                         const StatusLineWriter& statusLine) {
    WaitCursor cursor;
    if (busy.busy() || !entry) {
        return nullptr;
    }
    try {
        ScmConnection connection;
        connection.openManager(host, managerRight::connectAndEnumerate);
        SC_HANDLE service = connection.openService(entry->serviceName.str(), SERVICE_QUERY_CONFIG);
        for (;;) {
            DWORD needed = 0;
            auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
            if (QueryServiceConfigA(service, config, static_cast<DWORD>(buffer.size()), &needed)) {
                return config;
            }
            DWORD error = GetLastError();
            if (error != ERROR_INSUFFICIENT_BUFFER || needed <= buffer.size()) {
                throw Plinth::SDKException(error);
            }
            buffer.assign(needed, 0);
        }
    } catch (const Plinth::Exception& e) {
        if (statusLine) {
            statusLine(e.getMessage());
        }
    }
    return nullptr;
}

} // namespace kelvane
