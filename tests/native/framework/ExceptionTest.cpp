// The context a failure carries.
#include "framework/Exception.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

using namespace Plinth;

TEST(ErrorContextChain, AFailureNamesTheInnermostOrAnExplicitContextAndACopyTheCurrentOne) {
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

    // An explicit context wins, and a copy takes the one current at copying.
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
