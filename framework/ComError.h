#pragma once
// A failed COM call: its result code, and the source and description of the
// error object when the component left one.
#include <cstdint>
#include <string>

namespace Plinth {

class ComError {
public:
    explicit ComError(int32_t result, std::string source = {}, std::string description = {})
        : result_(result), source_(std::move(source)), description_(std::move(description)) {}
    virtual ~ComError() = default;

    int32_t result() const { return result_; }
    const std::string& source() const { return source_; }
    const std::string& description() const { return description_; }

private:
    int32_t result_;
    std::string source_;
    std::string description_;
};

} // namespace Plinth
