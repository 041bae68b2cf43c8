#pragma once
// A copy of a text in a heap block of exactly its size, without the NUL a
// literal has behind it: the sanitizer then reports a parser that reads one
// byte past the end of its view.
#include <algorithm>
#include <memory>
#include <string_view>

namespace kelvane::test {

class ExactText {
public:
    explicit ExactText(std::string_view text) : bytes_(new char[text.size()]), size_(text.size()) {
        std::copy(text.begin(), text.end(), bytes_.get());
    }
    operator std::string_view() const { return {bytes_.get(), size_}; }

private:
    std::unique_ptr<char[]> bytes_;
    std::size_t size_;
};

} // namespace kelvane::test
