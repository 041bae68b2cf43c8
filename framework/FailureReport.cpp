#include "framework/FailureReport.h"

#include "framework/PlatformText.h"
#include "framework/TextFormat.h"

namespace Plinth {

namespace {

constexpr uint32_t reportHeading = 284;
constexpr uint32_t reportContextLine = 285;
constexpr uint32_t stdExceptionText = 286;
constexpr uint32_t comErrorText = 287;

} // namespace

std::string buildReport(const Exception& exception) {
    const std::string context = exception.context().contextText();
    const std::string& message = exception.getMessage();
    auto heading = platform::frameworkModuleText(reportHeading);
    if (heading.moduleLoaded) {
        auto line = platform::frameworkModuleText(reportContextLine);
        return heading.text.value_or("") + formatText(line.text.value_or("").c_str(), context) +
               ":\n" + message;
    }
    // Latin-1, as the ANSI code page shows it.
    return "Ein Fehler trat auf" + formatText(" w\xE4hrend %hs", context) +
           formatText(":\n%hs", message);
}

std::string buildStdReport(const char* description) {
    auto text = platform::frameworkModuleText(stdExceptionText).text;
    return formatText(text ? text->c_str() : "An exception occured:\n%s\n", description);
}

std::string buildComReport(const ComError& error) {
    const uint32_t code = static_cast<uint32_t>(error.result());
    const std::string message = platform::systemMessage(code).value_or(unknownErrorText(code));
    auto text = platform::frameworkModuleText(comErrorText).text;
    return formatText(text ? text->c_str()
                           : "A COM exception occured:\n Code = %#x\n Source: \"%s\"\n "
                             "Description: \"%s\"\n Error message: %s\n",
                      code, error.source(), error.description(), message);
}

bool ContinueAnswers::continueChosen(uint64_t address) const {
    auto found = answers_.find(address);
    return found != answers_.end() && found->second;
}

void ContinueAnswers::record(uint64_t address, bool continueChosen) {
    answers_[address] = continueChosen;
}

ReportState& reportState() {
    static ReportState state;
    return state;
}

void enterShutdown() {
    ++reportState().shutdown;
}
void leaveShutdown() {
    --reportState().shutdown;
}
bool shuttingDown() {
    return reportState().shutdown.load() > 0;
}

bool runReport(ReportState& state, const std::function<void()>& show) {
    if (state.shutdown.load() > 0) {
        return false;
    }
    {
        std::lock_guard<std::recursive_mutex> guard(state.lock);
        if (state.nesting++ > 0) {
            --state.nesting;
            return false;
        }
    }
    struct Leave {
        ReportState& state;
        ~Leave() {
            std::lock_guard<std::recursive_mutex> guard(state.lock);
            --state.nesting;
        }
    } leave{state};
    show();
    return true;
}

} // namespace Plinth
