#include "framework/ErrorContext.h"

namespace Plinth {
namespace {

thread_local ErrorContext* innermost = nullptr;

} // namespace

ErrorContext::ErrorContext(RootTag) : text_("-NO-CONTEXT-") {}

ErrorContext::ErrorContext(const char* text, std::string object)
    : text_(text ? text : ""), object_(std::move(object)), previous_(innermost), linked_(true) {
    innermost = this;
}

ErrorContext::~ErrorContext() {
    // Contexts unlink in reverse order of making, as stack objects do.
    if (linked_ && innermost == this) {
        innermost = previous_;
    }
}

ErrorContext::ErrorContext(const ErrorContext& other)
    : text_(other.text_), object_(other.object_) {}

ErrorContext& ErrorContext::operator=(const ErrorContext& other) {
    if (this != &other) {
        text_ = other.text_;
        object_ = other.object_;
    }
    return *this;
}

std::string ErrorContext::contextText() const {
    if (object_.empty()) {
        return text_;
    }
    return std::string(text_) + "\nObject: " + object_;
}

const ErrorContext& ErrorContext::current() {
    static const ErrorContext root{RootTag{}};
    return innermost ? *innermost : root;
}

} // namespace Plinth
