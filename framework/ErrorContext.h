#pragma once
// What the program was doing when a failure arose. Contexts live on the stack
// of the code that names a step and form one chain per thread, so worker
// threads can name their steps without a lock.
#include <string>

namespace Plinth {

class ErrorContext {
public:
    // Links a new innermost context of the calling thread.
    explicit ErrorContext(const char* text, std::string object = {});
    ~ErrorContext();

    // A copy is a snapshot: it is not linked and has no previous context.
    ErrorContext(const ErrorContext& other);
    ErrorContext& operator=(const ErrorContext& other);

    const char* text() const { return text_; }
    const std::string& object() const { return object_; }
    const ErrorContext* previous() const { return previous_; }

    // The phrase alone, or "phrase\nObject: object" when there is an object.
    std::string contextText() const;

    // The innermost context of the calling thread; the root "-NO-CONTEXT-"
    // when nothing is linked.
    static const ErrorContext& current();

private:
    struct RootTag {};
    explicit ErrorContext(RootTag);

    const char* text_;
    std::string object_;
    ErrorContext* previous_ = nullptr;
    bool linked_ = false;
};

} // namespace Plinth
