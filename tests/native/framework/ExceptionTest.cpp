#include "framework/Exception.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

using namespace Plinth;

TEST(ExceptionMessage, FallsBackToFormattedCodes) {
    EXPECT_EQ(Exception().getMessage(), "generic exception");
    EXPECT_EQ(Exception(5).getMessage(), "exception code 5");
    EXPECT_EQ(Exception(7, "stored").getMessage(), "stored");
    // The native tree has no system texts, so every code is unknown.
    EXPECT_EQ(SDKException(0xC0DE).getMessage(), "unknown error 0x0000C0DE");
    EXPECT_EQ(LWE(0xdeadbeef).getMessage(), "unknown error 0xDEADBEEF");
    EXPECT_EQ(INetException(12003).getMessage(), "unknown error 0x00002EE3");
    EXPECT_EQ(StructuredException(0xC0000005).getMessage(),
              "structured exception code 0xC0000005");
    EXPECT_EQ(PlinthException(0x20).getMessage(), "error 0x00000020");
    EXPECT_EQ(UserException("missing command").getMessage(), "missing command");
    EXPECT_EQ(UserException("x").code(), 0u);
}

TEST(ExceptionMessage, IsBuiltOnceAndSurvivesCopies) {
    SDKException original(42);
    const std::string& first = original.getMessage();
    EXPECT_EQ(&first, &original.getMessage());
    SDKException copy = original;
    EXPECT_EQ(copy.code(), 42u);
    EXPECT_EQ(copy.getMessage(), "unknown error 0x0000002A");
}

TEST(ExceptionFamily, KindsAreCaughtThroughTheirBases) {
    try {
        throw LIE();
    } catch (const SDKException& e) {
        EXPECT_NE(dynamic_cast<const INetException*>(&e), nullptr);
    }
    try {
        throw BreakException();
    } catch (const Exception& e) {
        EXPECT_NE(dynamic_cast<const BreakException*>(&e), nullptr);
    }
}

TEST(ErrorContextChain, RootWhenNothingIsLinked) {
    EXPECT_STREQ(ErrorContext::current().text(), "-NO-CONTEXT-");
    EXPECT_EQ(Exception(1).context().contextText(), "-NO-CONTEXT-");
}

TEST(ErrorContextChain, ExceptionTakesTheInnermostContext) {
    ErrorContext outer("opening service manager");
    try {
        ErrorContext inner("opening service", "Spooler");
        throw SDKException(5);
    } catch (const Exception& e) {
        EXPECT_EQ(e.context().contextText(), "opening service\nObject: Spooler");
        EXPECT_EQ(e.context().previous(), nullptr);
    }
    // The inner context unlinked itself while the exception left its scope.
    EXPECT_STREQ(ErrorContext::current().text(), "opening service manager");
}

TEST(ErrorContextChain, ExplicitContextWins) {
    ErrorContext named("installing service", "svc");
    ErrorContext elsewhere("modifying service");
    SDKException e(5, named);
    EXPECT_EQ(e.context().contextText(), "installing service\nObject: svc");
}

TEST(ErrorContextChain, CopyTakesTheContextCurrentAtCopying) {
    auto make = [] {
        ErrorContext step("opening service");
        return std::make_unique<SDKException>(5);
    };
    auto made = make();
    EXPECT_STREQ(made->context().text(), "opening service");
    ErrorContext now("connecting to remote computer");
    SDKException copy(*made);
    EXPECT_STREQ(copy.context().text(), "connecting to remote computer");
}

TEST(ErrorContextChain, EachThreadHasItsOwnChain) {
    ErrorContext mine("opening service");
    std::string seen;
    std::thread([&] { seen = ErrorContext::current().text(); }).join();
    EXPECT_EQ(seen, "-NO-CONTEXT-");
}
