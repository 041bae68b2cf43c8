#pragma once
// The status line of one command over several services. Each failure is
// added as it happens and stays; at the end the summary goes on top, so the
// summary and every failure can be read together.
#include <functional>
#include <string>
#include <vector>

namespace kelvane {

class StatusReport {
public:
    using Writer = std::function<void(const std::string& text)>;

    // Clears the status line: the command starts something new.
    explicit StatusReport(Writer write);

    void addFailure(const std::string& line);
    // A writer that adds failures, for the steps that report through one.
    Writer failureWriter();
    void finish(const std::string& summary);

    // The lines as the status line shows them: one per line, CR LF between.
    static std::string joinLines(const std::vector<std::string>& lines);

private:
    Writer write_;
    std::vector<std::string> failures_;
};

} // namespace kelvane
