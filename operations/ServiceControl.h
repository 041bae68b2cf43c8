#pragma once
// The five control commands over a list of services: send the request to
// each, stop dependents first when the manager asks for it, then wait until
// every accepted request has settled. The platform comes through
// ControlPlatform, so the order of steps and what is reported run natively
// and against stand-ins for what Wine's manager never does (refusing a stop
// with 1051).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kelvane {

namespace serviceControl {
constexpr std::uint32_t start = 0; // not a control code: the service is started
constexpr std::uint32_t stop = 1;
constexpr std::uint32_t pause = 2;
constexpr std::uint32_t resume = 3;
constexpr std::uint32_t paramChange = 6;
} // namespace serviceControl

namespace serviceRight {
constexpr std::uint32_t changeConfig = 0x2;
constexpr std::uint32_t queryStatus = 0x4;
constexpr std::uint32_t enumerateDependents = 0x8;
constexpr std::uint32_t start = 0x10;
constexpr std::uint32_t stop = 0x20;
constexpr std::uint32_t pauseContinue = 0x40;
constexpr std::uint32_t remove = 0x10000;
} // namespace serviceRight

constexpr std::uint32_t errorDependentServicesRunning = 1051;

// One control command of the main window: its button and menu id, the
// rights its services are opened with, what is sent, and its summary texts.
struct ControlCommand {
    int commandId;
    std::uint32_t rights;
    std::uint32_t control;
    unsigned severalText; // "%d services have been ..."
    unsigned oneText;     // "%d service has been ..."
};

// The command for a button or menu id; null for any other id.
const ControlCommand* controlCommandFor(int commandId);
const ControlCommand* controlCommandForControl(std::uint32_t control);

// The summary's string id: the one-service text for exactly 1.
unsigned summaryTextId(const ControlCommand& command, int count);

class ControlPlatform {
public:
    virtual ~ControlPlatform() = default;
    // Opens the manager of the computer; raises "opening service manager".
    virtual void openManager() = 0;
    // Makes name, opened with rights, the current service; raises.
    virtual void openService(const std::string& name, std::uint32_t rights) = 0;
    // Starts the current service without arguments; raises LWE.
    virtual void startService() = 0;
    // Sends control to the current service: 0 or the platform's error code.
    virtual std::uint32_t sendControl(std::uint32_t control) = 0;
    // Opens name again with rights plus query status and enumerate
    // dependents, and stops it after its active dependents: 0 or an error
    // code, 1460 when timeoutMs passed.
    virtual std::uint32_t stopWithDependents(const std::string& name, std::uint32_t rights,
                                             std::uint32_t timeoutMs) = 0;
    // 1 settled, 0 still pending after timeoutMs, -1 the application quit;
    // raises for a service that ended with an error.
    virtual int waitForStableState(const std::string& name, std::uint32_t control,
                                   std::uint32_t timeoutMs) = 0;
    // The window the command works for has been destroyed meanwhile.
    virtual bool windowGone() = 0;
    // Closes the manager and service handles.
    virtual void release() = 0;
};

using StatusWriter = std::function<void(const std::string& text)>;

// Sends the request to each name in order; a failure of one service is
// written as "name: message" and the others go on. The names whose request
// was accepted, in order.
std::vector<std::string> requestControl(ControlPlatform& platform,
                                        const std::vector<std::string>& names, std::uint32_t rights,
                                        std::uint32_t control, std::uint32_t timeoutMs,
                                        const StatusWriter& status);

// Waits for each name in turn (timeoutMs each); the number that settled, or
// -1 when the application quit or the window went. A service that timed out
// is neither counted nor named; one that ended with an error is named.
int waitAll(ControlPlatform& platform, const std::vector<std::string>& names, std::uint32_t control,
            std::uint32_t timeoutMs, const StatusWriter& status);

// Opens the manager, requests and waits: the number settled or -1. A
// manager that cannot be opened raises.
int runControl(ControlPlatform& platform, const std::vector<std::string>& names,
               std::uint32_t rights, std::uint32_t control, std::uint32_t timeoutMs,
               const StatusWriter& status);

} // namespace kelvane
