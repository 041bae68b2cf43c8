#include "tools/kelvane-test-service/TestServiceOptions.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool takeNumber(const std::string& arg, const char* name, uint32_t& target) {
    std::string prefix = std::string("--") + name + "=";
    if (arg.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    target = static_cast<uint32_t>(std::strtoul(arg.c_str() + prefix.size(), nullptr, 0));
    return true;
}

void takeAccepted(const std::string& list, TestServiceOptions& options) {
    options.acceptStop = list.find("stop") != std::string::npos;
    options.acceptPause = list.find("pause") != std::string::npos;
    options.acceptParamChange = list.find("paramchange") != std::string::npos;
    options.acceptShutdown = list.find("shutdown") != std::string::npos;
}

} // namespace

TestServiceOptions parseTestServiceOptions(int argc, char** argv) {
    TestServiceOptions options;
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.compare(0, 9, "--accept=") == 0) {
            takeAccepted(arg.substr(9), options);
        } else if (arg == "--hang-stop") {
            options.hangStop = true;
        } else if (arg == "--fail-start") {
            options.failStart = true;
        } else if (takeNumber(arg, "start-ms", options.startMs) ||
                   takeNumber(arg, "stop-ms", options.stopMs) ||
                   takeNumber(arg, "pause-ms", options.pauseMs) ||
                   takeNumber(arg, "continue-ms", options.continueMs) ||
                   takeNumber(arg, "wait-hint", options.waitHintMs) ||
                   takeNumber(arg, "step-ms", options.stepMs) ||
                   takeNumber(arg, "exit-code", options.exitCode) ||
                   takeNumber(arg, "specific-code", options.specificCode) ||
                   takeNumber(arg, "crash-after-ms", options.crashAfterMs)) {
        }
    }
    if (options.stepMs == 0) {
        options.stepMs = 1;
    }
    return options;
}
