#include "operations/StatusReport.h"

namespace kelvane {

StatusReport::StatusReport(Writer write) : write_(std::move(write)) {
    write_({});
}

void StatusReport::addFailure(const std::string& line) {
    failures_.push_back(line);
    write_(joinLines(failures_));
}

StatusReport::Writer StatusReport::failureWriter() {
    return [this](const std::string& line) { addFailure(line); };
}

void StatusReport::finish(const std::string& summary) {
    std::vector<std::string> lines{summary};
    lines.insert(lines.end(), failures_.begin(), failures_.end());
    write_(joinLines(lines));
}

std::string StatusReport::joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        if (!text.empty()) {
            text += "\r\n";
        }
        text += line;
    }
    return text;
}

} // namespace kelvane
