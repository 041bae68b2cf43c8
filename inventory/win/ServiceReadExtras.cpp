#include "inventory/win/ServiceReadExtras.h"

#include "framework/win/UniqueHandle.h"

#include <cstdlib>

namespace kelvane {

namespace {

// SERVICE_TRIGGER_INFO, which the MinGW headers lack; only the count is read.
struct TriggerInfo {
    DWORD cTriggers;
    void* pTriggers;
    BYTE* pReserved;
};

std::string text(const char* value) {
    return value ? value : "";
}

FailureActions failureActionsOf(const SERVICE_FAILURE_ACTIONSA& info) {
    FailureActions failure;
    failure.resetPeriodSeconds = info.dwResetPeriod;
    failure.rebootMessage = text(info.lpRebootMsg);
    failure.command = text(info.lpCommand);
    for (DWORD i = 0; info.lpsaActions && i < info.cActions; ++i) {
        failure.actions.push_back(
            {static_cast<std::uint32_t>(info.lpsaActions[i].Type), info.lpsaActions[i].Delay});
    }
    return failure;
}

} // namespace

ExtrasReader::ExtrasReader(ServiceConfigSource* source, TextResolver resolveIndirect)
    : source_(configSourceOr(source)), resolveIndirect_(std::move(resolveIndirect)) {}

const BYTE* ExtrasReader::query(SC_HANDLE service, DWORD level) {
    // A few rounds: a manager may ask for more room again once it has seen
    // the larger buffer (Wine's answers are sized for the wide call).
    for (int round = 0; round < 4; ++round) {
        DWORD needed = 0;
        const DWORD error = source_.queryConfig2(service, level, buffer_.data(),
                                                 static_cast<DWORD>(buffer_.size()), needed);
        if (error == ERROR_SUCCESS) {
            return buffer_.data();
        }
        if (error != ERROR_INSUFFICIENT_BUFFER || needed <= buffer_.size()) {
            return nullptr;
        }
        buffer_.resize(needed);
    }
    return nullptr;
}

ServiceExtras ExtrasReader::read(SC_HANDLE service, bool automaticStart) {
    ServiceExtras extras;
    if (const BYTE* answer = query(service, SERVICE_CONFIG_DESCRIPTION)) {
        extras.description =
            text(reinterpret_cast<const SERVICE_DESCRIPTIONA*>(answer)->lpDescription);
        if (resolveIndirect_ && extras.description.rfind('@', 0) == 0) {
            extras.description = resolveIndirect_(extras.description);
        }
    }
    if (automaticStart) {
        if (const BYTE* answer = query(service, SERVICE_CONFIG_DELAYED_AUTO_START_INFO)) {
            extras.delayedStart =
                reinterpret_cast<const SERVICE_DELAYED_AUTO_START_INFO*>(answer)->fDelayedAutostart;
        }
    }
    if (const BYTE* answer = query(service, SERVICE_CONFIG_TRIGGER_INFO)) {
        extras.triggerStart = reinterpret_cast<const TriggerInfo*>(answer)->cTriggers > 0;
    }
    if (const BYTE* answer = query(service, SERVICE_CONFIG_FAILURE_ACTIONS)) {
        extras.failureActions =
            failureActionsOf(*reinterpret_cast<const SERVICE_FAILURE_ACTIONSA*>(answer));
    }
    return extras;
}

std::string resolveIndirectText(const std::string& text) {
    // "@file,-id", perhaps followed by ";v..." (a version the loader ignores).
    const size_t comma = text.rfind(",-");
    if (text.rfind('@', 0) != 0 || comma == std::string::npos) {
        return text;
    }
    const long id = std::strtol(text.c_str() + comma + 2, nullptr, 10);
    char file[MAX_PATH];
    const DWORD length =
        ExpandEnvironmentStringsA(text.substr(1, comma - 1).c_str(), file, sizeof file);
    if (id <= 0 || id > 0xFFFF || length == 0 || length > sizeof file) {
        return text;
    }
    // Loaded for its resources only: nothing of the file runs.
    Plinth::UniqueModule module(
        LoadLibraryExA(file, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    char buffer[4096];
    const int loaded =
        module ? LoadStringA(module.get(), static_cast<UINT>(id), buffer, sizeof buffer) : 0;
    return loaded > 0 ? std::string(buffer, static_cast<size_t>(loaded)) : text;
}

} // namespace kelvane
