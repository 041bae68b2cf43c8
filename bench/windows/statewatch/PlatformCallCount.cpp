#include "bench/windows/statewatch/PlatformCallCount.h"

#include <windows.h>

#include <atomic>
#include <cstring>

namespace kelvane::bench {

namespace {

std::atomic<long> allCalls{0}, configurationCalls{0};

// One counting stand-in per imported function: Tag keeps functions of the
// same type apart.
template <int Tag, typename Function> struct Counted;
template <int Tag, typename R, typename... A> struct Counted<Tag, R(WINAPI*)(A...)> {
    static inline R(WINAPI* original)(A...) = nullptr;
    static R WINAPI call(A... arguments) {
        ++allCalls;
        return original(arguments...);
    }
};

// Replaces the import of name from dll in this program's import table.
template <typename Function>
void patch(const char* dll, const char* name, Function replacement, Function& original) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* headers = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         module->Name; ++module) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + module->Name), dll) != 0) {
            continue;
        }
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) ||
                std::strcmp(reinterpret_cast<const char*>(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(
                                                              base + names->u1.AddressOfData)
                                                              ->Name),
                            name) != 0) {
                continue;
            }
            DWORD protection = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                           &protection);
            original = reinterpret_cast<Function>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
        }
    }
}

template <int Tag, typename Function> void count(const char* dll, const char* name, Function) {
    patch(dll, name, &Counted<Tag, Function>::call, Counted<Tag, Function>::original);
}

BOOL(WINAPI* originalQueryConfig)(SC_HANDLE, LPQUERY_SERVICE_CONFIGA, DWORD, LPDWORD) = nullptr;
BOOL WINAPI countedQueryConfig(SC_HANDLE service, LPQUERY_SERVICE_CONFIGA config, DWORD size,
                               LPDWORD needed) {
    ++allCalls;
    ++configurationCalls;
    return originalQueryConfig(service, config, size, needed);
}

// The reader finds the extended enumeration at run time.
using EnumerateFunction = BOOL(WINAPI*)(SC_HANDLE, SC_ENUM_TYPE, DWORD, DWORD, LPBYTE, DWORD,
                                        LPDWORD, LPDWORD, LPDWORD, LPCSTR);
FARPROC(WINAPI* originalGetProcAddress)(HMODULE, LPCSTR) = nullptr;
FARPROC WINAPI countingGetProcAddress(HMODULE module, LPCSTR name) {
    FARPROC found = originalGetProcAddress(module, name);
    if (found && !IS_INTRESOURCE(name) && std::strcmp(name, "EnumServicesStatusExA") == 0) {
        using Stand = Counted<100, EnumerateFunction>;
        Stand::original = reinterpret_cast<EnumerateFunction>(reinterpret_cast<void*>(found));
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&Stand::call));
    }
    return found;
}

} // namespace

void countPlatformCalls() {
    const char* advapi = "advapi32.dll";
    count<1>(advapi, "OpenSCManagerA", &OpenSCManagerA);
    count<2>(advapi, "OpenServiceA", &OpenServiceA);
    count<3>(advapi, "CloseServiceHandle", &CloseServiceHandle);
    count<4>(advapi, "QueryServiceStatus", &QueryServiceStatus);
    count<5>(advapi, "QueryServiceStatusEx", &QueryServiceStatusEx);
    count<6>(advapi, "EnumServicesStatusA", &EnumServicesStatusA);
    count<7>(advapi, "NotifyServiceStatusChangeW", &NotifyServiceStatusChangeW);
    count<8>(advapi, "ControlService", &ControlService);
    count<9>(advapi, "RegOpenKeyExA", &RegOpenKeyExA);
    count<10>(advapi, "RegQueryInfoKeyA", &RegQueryInfoKeyA);
    count<11>(advapi, "RegCloseKey", &RegCloseKey);
    patch(advapi, "QueryServiceConfigA", &countedQueryConfig, originalQueryConfig);
    patch("kernel32.dll", "GetProcAddress", &countingGetProcAddress, originalGetProcAddress);
}

PlatformCalls platformCalls() {
    return {allCalls.load(), configurationCalls.load()};
}

} // namespace kelvane::bench
