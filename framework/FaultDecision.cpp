#include "framework/FaultDecision.h"

#include "framework/PlatformText.h"
#include "framework/TextFormat.h"

#include <mutex>

namespace Plinth {

namespace {

constexpr uint32_t nestedFaultText = 280;
constexpr uint32_t continueQuestion = 281;

std::string moduleText(uint32_t number, const std::string& fallback) {
    return platform::frameworkModuleText(number).text.value_or(fallback);
}

bool hasCustomerBit(uint32_t code) {
    return (code & 0x20000000u) != 0;
}

} // namespace

bool isFloatingPointFault(uint32_t code) {
    return code >= 0xC000008Du && code <= 0xC0000093u;
}

uint32_t faultMessageNumber(const FaultRecord& fault) {
    const uint32_t code = fault.code;
    if (code == 0xC0000005u) {
        if (fault.parameters.size() == 2 && fault.parameters[1] == 0) {
            return fault.parameters[0] > 0 ? 282 : 283;
        }
        return 256;
    }
    if (isFloatingPointFault(code)) {
        return 264 + (code - 0xC000008Du);
    }
    if (code >= 0xC0000094u && code <= 0xC0000096u) {
        return 271 + (code - 0xC0000094u);
    }
    switch (code) {
    case 0xC0000006u:
        return 257;
    case 0xC0000008u:
        return 258;
    case 0xC0000017u:
        return 259;
    case 0xC000001Du:
        return 260;
    case 0xC0000025u:
        return 261;
    case 0xC0000026u:
        return 262;
    case 0xC000008Cu:
        return 263;
    case 0xC00000FDu:
        return 274;
    case 0xC000013Au:
        return 275;
    case 0xC0000135u:
        return 276;
    case 0xC0000142u:
        return 277;
    case 0xE06D7363u:
        return 278;
    case 0xC06D007Eu:
        return 289;
    case 0xC06D007Fu:
        return 290;
    default:
        return 279;
    }
}

int decideFault(const FaultRecord& fault, FaultHost& host, ReportState& state) {
    std::lock_guard<std::recursive_mutex> guard(state.lock);
    const uint32_t code = fault.code;
    if (hasCustomerBit(code) && !fault.viaProcessFilter) {
        return SearchOn;
    }
    bool repairable = false;
    if (isFloatingPointFault(code)) {
        host.clearFloatingPointFlags();
        repairable = true;
    }
    const bool flagsAllowContinue = (fault.flags & 1u) == 0;
    if (code < 0x80000000u && flagsAllowContinue) {
        // Success and informational codes are notices, not faults.
        return ResumeExecution;
    }
    if (code >= 0x80000000u && code < 0xC0000000u) {
        return SearchOn;
    }
    const uint32_t number = faultMessageNumber(fault);
    const bool continuable = flagsAllowContinue && repairable;

    bool continueChosen = false;
    const int before = state.nesting++;
    if (state.shutdown.load() > 0) {
        if (!continuable) {
            host.endProcess(-1);
        }
    } else if (before > 0) {
        if (continuable) {
            continueChosen = true;
        } else if (before == 1) {
            host.showBox(moduleText(nestedFaultText, "An uncontinuable exception occured\nwhile "
                                                     "processing an previous exception!"),
                         "Exception", nestedFaultStyle);
        } else if (host.faultAllowance() <= 0) {
            if (before == 2) {
                host.pause(15000);
            }
            host.endProcess(-1);
        } else {
            host.pause(3000);
            --host.faultAllowance();
        }
    } else {
        std::string text = moduleText(number, formatText("exception code: 0x%08X", code));
        if (continuable && state.answers.continueChosen(fault.address)) {
            continueChosen = true;
        } else {
            unsigned style = reportBoxStyle;
            if (continuable) {
                text += moduleText(continueQuestion, " - Continue execution?");
                style |= okCancelStyle;
            }
            int answer = host.showBox(text, "Exception", style);
            if (continuable) {
                continueChosen = answer == answerOk;
                state.answers.record(fault.address, continueChosen);
            }
        }
    }
    --state.nesting;
    return continuable && continueChosen ? ResumeExecution : RunHandler;
}

} // namespace Plinth
