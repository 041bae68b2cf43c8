#pragma once
// The one family in which every failure of the program travels. An exception
// carries a code, a message built from it on first request, and a snapshot of
// the error context that was innermost when it was made.
#include "framework/ErrorContext.h"

#include <cstdint>
#include <string>

namespace Plinth {

class Exception {
public:
    explicit Exception(uint32_t code = 0);
    Exception(uint32_t code, std::string message);
    // A copy keeps the code and the message text (built now if it was not
    // yet) and takes the context current at the moment of copying.
    Exception(const Exception& other);
    Exception& operator=(const Exception& other);
    virtual ~Exception();

    virtual const std::string& getMessage() const;

    uint32_t code() const { return code_; }
    const ErrorContext& context() const { return context_; }

protected:
    // Subclasses build their text through this, once.
    bool hasMessage() const { return built_; }
    const std::string& keepMessage(std::string text) const;
    void replaceContext(const ErrorContext& context) { context_ = context; }

private:
    uint32_t code_;
    mutable std::string message_;
    mutable bool built_ = false;
    ErrorContext context_;
};

// A platform error code.
class SDKException : public Exception {
public:
    explicit SDKException(uint32_t code);
    SDKException(uint32_t code, const ErrorContext& context);
    const std::string& getMessage() const override;
};

// The last platform error of the calling thread, or an explicit code.
class LWE : public SDKException {
public:
    LWE();
    explicit LWE(uint32_t code);
};

// An internet-library error code; 12003 carries the server's response text.
class INetException : public SDKException {
public:
    explicit INetException(uint32_t code);
    const std::string& getMessage() const override;
};

// The last error of the calling thread, read right after a failed
// internet-library call.
class LIE : public INetException {
public:
    LIE();
};

// A rule the user broke, with a ready text from the string table.
class UserException : public Exception {
public:
    explicit UserException(std::string message);
};

// A processor fault or other structured exception of the platform.
class StructuredException : public Exception {
public:
    explicit StructuredException(uint32_t code);
    const std::string& getMessage() const override;
};

// A framework error code, with its text from the module "PlinthCORE".
class PlinthException : public Exception {
public:
    explicit PlinthException(uint32_t code);
    const std::string& getMessage() const override;
};

// Ends a thread body quietly; never shown.
class BreakException : public Exception {
public:
    BreakException();
};

// "unknown error 0x%08X": the text of a code nobody has a message for.
std::string unknownErrorText(uint32_t code);

} // namespace Plinth
