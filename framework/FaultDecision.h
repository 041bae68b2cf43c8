#pragma once
// What the fault handler decides about a structured exception of the
// platform: the message number of the fault kind, whether the fault can be
// continued, whether to ask the user, and the nested-fault rules. Portable;
// win/Reports feeds it the platform's fault record.
#include "framework/FailureReport.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Plinth {

struct FaultRecord {
    uint32_t code = 0;
    uint32_t flags = 0; // bit 0: cannot be continued
    uint64_t address = 0;
    std::vector<uint64_t> parameters;
    bool viaProcessFilter = true; // came through the process-wide filter
};

enum FaultResult : int { SearchOn = 0, RunHandler = 1, ResumeExecution = -1 };

// The framework module's message number for the fault kind.
uint32_t faultMessageNumber(const FaultRecord& fault);
bool isFloatingPointFault(uint32_t code);

// What the decision needs from the platform and the thread.
class FaultHost {
public:
    virtual ~FaultHost() = default;
    virtual int showBox(const std::string& text, const std::string& caption, unsigned style) = 0;
    virtual void pause(unsigned ms) = 0;
    // Ends the process; a test host returns.
    virtual void endProcess(int exitCode) = 0;
    virtual void clearFloatingPointFlags() = 0;
    // The calling thread's allowance of further nested faults.
    virtual int& faultAllowance() = 0;
};

// The whole decision, under the report lock; a result of FaultResult.
int decideFault(const FaultRecord& fault, FaultHost& host, ReportState& state);

// Box styles and answers, as the platform numbers them.
constexpr unsigned reportBoxStyle = 0x2030;   // exclamation, OK, task-modal
constexpr unsigned nestedFaultStyle = 0x1030; // exclamation, OK, system-modal
constexpr unsigned okCancelStyle = 0x0001;
constexpr int answerOk = 1;

} // namespace Plinth
