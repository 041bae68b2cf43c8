#include "operations/ProcessKill.h"

#include "framework/Exception.h"

#include <cstdlib>

namespace kelvane {

namespace {

// The privilege and the process handle are given back however the
// termination ends.
class Termination {
public:
    explicit Termination(KillPlatform& platform) : platform_(platform) {
        if (std::uint32_t error = platform_.setDebugPrivilege(true)) {
            throw Plinth::LWE(error);
        }
    }
    ~Termination() {
        if (opened_) {
            platform_.closeProcess();
        }
        platform_.setDebugPrivilege(false);
    }
    Termination(const Termination&) = delete;
    Termination& operator=(const Termination&) = delete;

    void run(std::uint32_t processId) {
        if (std::uint32_t error = platform_.openProcess(processId)) {
            throw Plinth::LWE(error);
        }
        opened_ = true;
        // A refused termination is a failure: the process still runs.
        if (std::uint32_t error = platform_.terminateProcess()) {
            throw Plinth::LWE(error);
        }
        platform_.waitForEnd(terminationWaitMs);
    }

private:
    KillPlatform& platform_;
    bool opened_ = false;
};

} // namespace

std::uint32_t processIdOf(const std::string& pidText) {
    return static_cast<std::uint32_t>(std::strtoul(pidText.c_str(), nullptr, 10));
}

int killProcesses(KillPlatform& platform, const std::vector<std::string>& pidTexts,
                  const StatusWriter& status) {
    int killed = 0;
    for (const std::string& pidText : pidTexts) {
        try {
            Termination termination(platform);
            termination.run(processIdOf(pidText));
            ++killed;
        } catch (const Plinth::Exception& e) {
            if (status) {
                status(e.getMessage());
            }
        }
    }
    return killed;
}

} // namespace kelvane
