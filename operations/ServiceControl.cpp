#include "operations/ServiceControl.h"

#include "framework/Exception.h"

namespace kelvane {

namespace {

const ControlCommand commands[] = {
    {1005, serviceRight::start, serviceControl::start, 150, 152},
    {1006, serviceRight::stop, serviceControl::stop, 151, 153},
    {1009, serviceRight::pauseContinue, serviceControl::pause, 154, 155},
    {1010, serviceRight::pauseContinue, serviceControl::resume, 156, 157},
    {1014, serviceRight::pauseContinue, serviceControl::paramChange, 158, 159},
};

void writeFailure(const StatusWriter& status, const std::string& name,
                  const Plinth::Exception& failure) {
    if (status) {
        status(name + ": " + failure.getMessage());
    }
}

void request(ControlPlatform& platform, const std::string& name, std::uint32_t rights,
             std::uint32_t control, std::uint32_t timeoutMs) {
    platform.openService(name, rights);
    if (control == serviceControl::start) {
        platform.startService();
        return;
    }
    std::uint32_t error = platform.sendControl(control);
    if (error == errorDependentServicesRunning && control == serviceControl::stop) {
        if (std::uint32_t code = platform.stopWithDependents(name, rights, timeoutMs)) {
            throw Plinth::SDKException(code);
        }
        return;
    }
    if (error) {
        throw Plinth::LWE(error);
    }
}

} // namespace

const ControlCommand* controlCommandFor(int commandId) {
    for (const ControlCommand& command : commands) {
        if (command.commandId == commandId) {
            return &command;
        }
    }
    return nullptr;
}

const ControlCommand* controlCommandForControl(std::uint32_t control) {
    for (const ControlCommand& command : commands) {
        if (command.control == control) {
            return &command;
        }
    }
    return nullptr;
}

unsigned summaryTextId(const ControlCommand& command, int count) {
    return count == 1 ? command.oneText : command.severalText;
}

std::vector<std::string> requestControl(ControlPlatform& platform,
                                        const std::vector<std::string>& names, std::uint32_t rights,
                                        std::uint32_t control, std::uint32_t timeoutMs,
                                        const StatusWriter& status) {
    std::vector<std::string> accepted;
    for (const std::string& name : names) {
        try {
            request(platform, name, rights, control, timeoutMs);
            accepted.push_back(name);
        } catch (const Plinth::Exception& e) {
            writeFailure(status, name, e);
        }
    }
    return accepted;
}

int waitAll(ControlPlatform& platform, const std::vector<std::string>& names, std::uint32_t control,
            std::uint32_t timeoutMs, const StatusWriter& status) {
    int settled = 0;
    for (const std::string& name : names) {
        int result = 0;
        try {
            result = platform.waitForStableState(name, control, timeoutMs);
        } catch (const Plinth::Exception& e) {
            if (platform.windowGone()) {
                return -1;
            }
            writeFailure(status, name, e);
            continue;
        }
        if (result == -1 || platform.windowGone()) {
            return -1;
        }
        if (result == 1) {
            ++settled;
        }
    }
    return settled;
}

int runControl(ControlPlatform& platform, const std::vector<std::string>& names,
               std::uint32_t rights, std::uint32_t control, std::uint32_t timeoutMs,
               const StatusWriter& status) {
    platform.openManager();
    std::vector<std::string> accepted =
        requestControl(platform, names, rights, control, timeoutMs, status);
    return waitAll(platform, accepted, control, timeoutMs, status);
}

} // namespace kelvane
