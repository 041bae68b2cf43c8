// The exception family's texts for codes the system cannot name, and the
// context a failure carries.
#include "framework/Exception.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

using namespace Plinth;

TEST(ExceptionMessage, CodesWithoutASystemTextGetTheirFallback) {
    // The native tree has no system texts, so every code is unknown.
    const std::pair<std::string, const char*> cases[] = {
        {Exception(5).getMessage(), "exception code 5"},
        {SDKException(0xC0DE).getMessage(), "unknown error 0x0000C0DE"},
        {StructuredException(0xC0000005).getMessage(), "structured exception code 0xC0000005"},
        {PlinthException(0x20).getMessage(), "error 0x00000020"},
    };
    for (const auto& [message, expected] : cases) {
        EXPECT_EQ(message, expected);
    }
}

TEST(ErrorContextChain, AFailureNamesTheInnermostContextOfItsThread) {
    EXPECT_EQ(Exception(1).context().contextText(), "-NO-CONTEXT-");
    ErrorContext outer("opening service manager");
    try {
        ErrorContext inner("opening service", "Spooler");
        throw SDKException(5);
    } catch (const Exception& e) {
        EXPECT_EQ(e.context().contextText(), "opening service\nObject: Spooler");
    }
    // The inner context unlinked itself while the exception left its scope.
    EXPECT_STREQ(ErrorContext::current().text(), "opening service manager");
    std::string seenElsewhere;
    std::thread([&] { seenElsewhere = ErrorContext::current().text(); }).join();
    EXPECT_EQ(seenElsewhere, "-NO-CONTEXT-") << "each thread has its own chain";
}

TEST(ErrorContextChain, AnExplicitContextWinsAndACopyTakesTheOneCurrentAtCopying) {
    ErrorContext named("installing service", "svc");
    ErrorContext elsewhere("modifying service");
    EXPECT_EQ(SDKException(5, named).context().contextText(), "installing service\nObject: svc");

    auto made = [] {
        ErrorContext step("opening service");
        return std::make_unique<SDKException>(5);
    }();
    EXPECT_STREQ(made->context().text(), "opening service");
    const SDKException copy(*made);
    EXPECT_STREQ(copy.context().text(), "modifying service");
}
