#pragma once
// Ending the processes of selected services, one termination at a time with
// the debugging privilege enabled only around it. The platform calls come
// through KillPlatform, so a refused termination, which a test system rarely
// produces, can be checked.
#include "operations/ServiceControl.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvane {

class KillPlatform {
public:
    virtual ~KillPlatform() = default;
    // Each returns 0 or the platform's error code.
    virtual std::uint32_t setDebugPrivilege(bool enable) = 0;
    virtual std::uint32_t openProcess(std::uint32_t processId) = 0;
    virtual std::uint32_t terminateProcess() = 0; // the process opened last
    virtual void waitForEnd(std::uint32_t ms) = 0;
    virtual void closeProcess() = 0;
};

constexpr std::uint32_t terminationWaitMs = 3000;

// The process id a list row shows: decimal, and 0 for a service that does
// not run (an empty text).
std::uint32_t processIdOf(const std::string& pidText);

// Ends each process in turn; a process that cannot be opened or ended has
// the platform's text written and is not counted. The number ended.
int killProcesses(KillPlatform& platform, const std::vector<std::string>& pidTexts,
                  const StatusWriter& status);

} // namespace kelvane
