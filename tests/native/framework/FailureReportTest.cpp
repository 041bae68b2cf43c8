// The report text and the rule of one report at a time.
#include "framework/FailureReport.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Plinth;

TEST(ReportText, TheGermanFallbackNamesTheContextAndTheMessage) {
    ErrorContext context("opening service", "Spooler");
    EXPECT_EQ(buildReport(SDKException(5)), "Ein Fehler trat auf w\xE4hrend opening service\n"
                                            "Object: Spooler:\nunknown error 0x00000005");
}

TEST(ReportGate, ReportsDuringAnotherOrDuringShutdownAreDropped) {
    ReportState state;
    bool inner = true;
    EXPECT_TRUE(runReport(state, [&] { inner = runReport(state, [] {}); }));
    EXPECT_FALSE(inner);
    EXPECT_EQ(state.nesting, 0);
    EXPECT_THROW(runReport(state, [] { throw std::runtime_error("box"); }), std::runtime_error);
    EXPECT_EQ(state.nesting, 0) << "a failing box still leaves the count";
    state.shutdown = 1;
    EXPECT_FALSE(runReport(state, [] { ADD_FAILURE() << "shown during shutdown"; }));
}
