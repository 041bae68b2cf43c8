#include "inventory/win/ServiceEnumeration.h"

#include "framework/Exception.h"
#include "framework/win/UniqueHandle.h"
#include "inventory/TimeText.h"

#include <cstring>

namespace kelvane {

namespace {

// SERVICE_DRIVER leaves out adapters (4); they are read too, and the filter
// decides what is shown.
constexpr DWORD allTypes =
    SERVICE_DRIVER | SERVICE_ADAPTER | SERVICE_WIN32 | SERVICE_INTERACTIVE_PROCESS; // 0x13F
static_assert(allTypes == 0x13F);

using EnumServicesStatusExFunction = BOOL(WINAPI*)(SC_HANDLE, SC_ENUM_TYPE, DWORD, DWORD, LPBYTE,
                                                   DWORD, LPDWORD, LPDWORD, LPDWORD, LPCSTR);

// Looked up at run time: systems before Windows 2000 lack it.
EnumServicesStatusExFunction enumServicesStatusEx() {
    static const auto function =
        reinterpret_cast<EnumServicesStatusExFunction>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("advapi32.dll"), "EnumServicesStatusExA")));
    return function;
}

std::string text(const char* value) {
    return value ? value : "";
}

} // namespace

void ServiceEnumerator::enumerate(SC_HANDLE manager, DWORD state,
                                  const std::function<void(const EnumeratedService&)>& each) {
    EnumServicesStatusExFunction extended = enumServicesStatusEx();
    DWORD needed = 0, count = 0, resume = 0;
    // The manager hands out the entries in portions while it answers "more
    // data"; each answer is taken before asking again.
    for (;;) {
        BOOL done =
            extended
                ? extended(manager, SC_ENUM_PROCESS_INFO, allTypes, state, buffer_.data(),
                           static_cast<DWORD>(buffer_.size()), &needed, &count, &resume, nullptr)
                : EnumServicesStatusA(manager, allTypes, state,
                                      reinterpret_cast<LPENUM_SERVICE_STATUSA>(buffer_.data()),
                                      static_cast<DWORD>(buffer_.size()), &needed, &count, &resume);
        DWORD error = done ? ERROR_SUCCESS : GetLastError();
        if (!done && error != ERROR_MORE_DATA) {
            throw Plinth::SDKException(error);
        }
        for (DWORD i = 0; i < count; ++i) {
            EnumeratedService service;
            if (extended) {
                const auto& entry =
                    reinterpret_cast<const ENUM_SERVICE_STATUS_PROCESSA*>(buffer_.data())[i];
                service = {text(entry.lpServiceName), text(entry.lpDisplayName),
                           entry.ServiceStatusProcess.dwServiceType,
                           entry.ServiceStatusProcess.dwCurrentState,
                           entry.ServiceStatusProcess.dwProcessId};
            } else {
                const auto& entry =
                    reinterpret_cast<const ENUM_SERVICE_STATUSA*>(buffer_.data())[i];
                service = {text(entry.lpServiceName), text(entry.lpDisplayName),
                           entry.ServiceStatus.dwServiceType, entry.ServiceStatus.dwCurrentState,
                           0};
            }
            each(service);
        }
        if (done) {
            return;
        }
        if (needed > buffer_.size()) {
            buffer_.resize(needed);
        } else if (count == 0) {
            // "More data" that neither fits nor asks for more room would
            // never end.
            throw Plinth::SDKException(error);
        }
    }
}

std::optional<ServiceConfiguration> ConfigurationReader::read(SC_HANDLE service) {
    DWORD needed = 0;
    while (DWORD error = source_.queryConfig(
               service, reinterpret_cast<LPQUERY_SERVICE_CONFIGA>(buffer_.data()),
               static_cast<DWORD>(buffer_.size()), needed)) {
        if (error == ERROR_ACCESS_DENIED) {
            return std::nullopt;
        }
        if (error != ERROR_INSUFFICIENT_BUFFER || needed <= buffer_.size()) {
            throw Plinth::SDKException(error);
        }
        buffer_.resize(needed);
    }
    const auto& config = *reinterpret_cast<const QUERY_SERVICE_CONFIGA*>(buffer_.data());
    ServiceConfiguration result;
    result.startType = config.dwStartType;
    result.account = text(config.lpServiceStartName);
    result.command = text(config.lpBinaryPathName);
    result.loadOrderGroup = text(config.lpLoadOrderGroup);
    // A list of texts, each ended by a NUL, the list by another.
    for (const char* item = config.lpDependencies; item && *item; item += std::strlen(item) + 1) {
        result.dependencies.emplace_back(item);
    }
    return result;
}

std::string serviceKeyTimeText(HKEY servicesKey, const std::string& serviceName) {
    HKEY opened = nullptr;
    if (!servicesKey ||
        RegOpenKeyExA(servicesKey, serviceName.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return {};
    }
    Plinth::UniqueKey key(opened);
    FILETIME written = {};
    if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, &written) != ERROR_SUCCESS) {
        return {};
    }
    FILETIME local = {};
    SYSTEMTIME time = {};
    if (!FileTimeToLocalFileTime(&written, &local) || !FileTimeToSystemTime(&local, &time)) {
        return {};
    }
    return formatTimeText({time.wYear, time.wMonth, time.wDayOfWeek, time.wDay, time.wHour,
                           time.wMinute, time.wSecond, time.wMilliseconds});
}

} // namespace kelvane
