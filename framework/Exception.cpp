#include "framework/Exception.h"

#include "framework/PlatformText.h"
#include "framework/TextFormat.h"

namespace Plinth {

namespace {
constexpr uint32_t internetExtendedError = 12003;
}

std::string unknownErrorText(uint32_t code) { return formatText("unknown error 0x%08X", code); }

Exception::Exception(uint32_t code) : code_(code), context_(ErrorContext::current()) {}

Exception::Exception(uint32_t code, std::string message)
    : code_(code), message_(std::move(message)), built_(true),
      context_(ErrorContext::current()) {}

Exception::Exception(const Exception& other)
    : code_(other.code_), message_(other.getMessage()), built_(true),
      context_(ErrorContext::current()) {}

Exception& Exception::operator=(const Exception& other) {
    if (this != &other) {
        code_ = other.code_;
        message_ = other.getMessage();
        built_ = true;
        context_ = ErrorContext::current();
    }
    return *this;
}

Exception::~Exception() = default;

const std::string& Exception::keepMessage(std::string text) const {
    message_ = std::move(text);
    built_ = true;
    return message_;
}

const std::string& Exception::getMessage() const {
    if (built_) {
        return message_;
    }
    if (code_ == 0) {
        return keepMessage("generic exception");
    }
    return keepMessage(formatText("exception code %d", code_));
}

SDKException::SDKException(uint32_t code) : Exception(code) {}

SDKException::SDKException(uint32_t code, const ErrorContext& context) : Exception(code) {
    replaceContext(context);
}

const std::string& SDKException::getMessage() const {
    if (hasMessage()) {
        return Exception::getMessage();
    }
    auto text = platform::systemMessage(code());
    return keepMessage(text ? *text : unknownErrorText(code()));
}

LWE::LWE() : SDKException(platform::lastError()) {}

LWE::LWE(uint32_t code) : SDKException(code) {}

INetException::INetException(uint32_t code) : SDKException(code) {}

const std::string& INetException::getMessage() const {
    if (!hasMessage() && code() == internetExtendedError) {
        auto text = platform::internetResponseText();
        if (text) {
            return keepMessage(*text);
        }
    }
    return SDKException::getMessage();
}

LIE::LIE() : INetException(platform::lastError()) {}

UserException::UserException(std::string message) : Exception(0, std::move(message)) {}

StructuredException::StructuredException(uint32_t code) : Exception(code) {}

const std::string& StructuredException::getMessage() const {
    if (hasMessage()) {
        return Exception::getMessage();
    }
    return keepMessage(formatText("structured exception code 0x%08X", code()));
}

PlinthException::PlinthException(uint32_t code) : Exception(code) {}

const std::string& PlinthException::getMessage() const {
    if (hasMessage()) {
        return Exception::getMessage();
    }
    auto lookup = platform::frameworkModuleText(code());
    if (!lookup.moduleLoaded) {
        return keepMessage(formatText("error 0x%08X", code()));
    }
    return keepMessage(lookup.text ? *lookup.text : unknownErrorText(code()));
}

BreakException::BreakException() : Exception(0) {}

} // namespace Plinth
