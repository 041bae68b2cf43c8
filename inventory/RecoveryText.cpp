#include "inventory/RecoveryText.h"

#include "framework/TextFormat.h"

namespace kelvane {

std::string durationText(std::uint64_t milliseconds, const RecoveryWords& words) {
    constexpr std::uint64_t second = 1000, minute = 60 * second, hour = 60 * minute,
                            day = 24 * hour;
    const auto count = [&](std::uint64_t unit) {
        return static_cast<unsigned long long>(milliseconds / unit);
    };
    if (milliseconds == 0) {
        return "0 s";
    }
    if (milliseconds % day == 0) {
        return Plinth::formatText((count(day) == 1 ? words.day : words.days).c_str(), count(day));
    }
    if (milliseconds % hour == 0) {
        return std::to_string(count(hour)) + " h";
    }
    if (milliseconds % minute == 0) {
        return std::to_string(count(minute)) + " min";
    }
    if (milliseconds % second == 0) {
        return std::to_string(count(second)) + " s";
    }
    return std::to_string(milliseconds) + " ms";
}

namespace {

std::string actionText(const RecoveryAction& action, const std::string& command,
                       const RecoveryWords& words) {
    std::string what;
    switch (action.type) {
    case RecoveryAction::restart:
        what = words.restart;
        break;
    case RecoveryAction::reboot:
        what = words.reboot;
        break;
    case RecoveryAction::runCommand:
        what = Plinth::formatText(words.run.c_str(), command);
        break;
    default:
        what = words.noAction;
        break;
    }
    if (action.delayMs == 0) {
        return what;
    }
    return Plinth::formatText(words.after.c_str(), what, durationText(action.delayMs, words));
}

} // namespace

std::string recoveryText(const FailureActions& failure, const RecoveryWords& words) {
    std::string text;
    for (const RecoveryAction& action : failure.actions) {
        if (!text.empty()) {
            text += ", ";
        }
        text += actionText(action, failure.command, words);
    }
    if (text.empty()) {
        return text;
    }
    if (failure.resetPeriodSeconds != FailureActions::neverReset) {
        text +=
            "; " + Plinth::formatText(words.reset.c_str(),
                                      durationText(failure.resetPeriodSeconds * 1000ull, words));
    }
    if (!failure.rebootMessage.empty()) {
        text += "; " + Plinth::formatText(words.rebootMessage.c_str(), failure.rebootMessage);
    }
    return text;
}

} // namespace kelvane
