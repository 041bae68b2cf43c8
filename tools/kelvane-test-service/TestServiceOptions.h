#pragma once
// The arguments of the test service.
#include <cstdint>

struct TestServiceOptions {
    bool acceptStop = true;
    bool acceptPause = false;
    bool acceptParamChange = false;
    bool acceptShutdown = false;
    uint32_t startMs = 0;
    uint32_t stopMs = 0;
    uint32_t pauseMs = 0;
    uint32_t continueMs = 0;
    uint32_t waitHintMs = 0;
    uint32_t stepMs = 100;
    uint32_t exitCode = 0;
    uint32_t specificCode = 0;
    bool hangStop = false;
    bool failStart = false;
    uint32_t crashAfterMs = 0;
};

TestServiceOptions parseTestServiceOptions(int argc, char** argv);
