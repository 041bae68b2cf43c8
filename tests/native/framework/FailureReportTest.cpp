// The report texts and the rule of one report at a time.
#include "framework/FailureReport.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Plinth;

TEST(ReportText, GermanFallbackNamesTheContextAndTheMessage) {
    ErrorContext context("opening service", "Spooler");
    SDKException failure(5);
    EXPECT_EQ(buildReport(failure), "Ein Fehler trat auf w\xE4hrend opening service\n"
                                    "Object: Spooler:\nunknown error 0x00000005");
}

TEST(ReportText, WithoutContextTheRootIsNamed) {
    EXPECT_EQ(buildReport(UserException("no name")),
              "Ein Fehler trat auf w\xE4hrend -NO-CONTEXT-:\nno name");
}

TEST(ReportText, StandardAndComErrors) {
    EXPECT_EQ(buildStdReport("bad cast"), "An exception occured:\nbad cast\n");
    EXPECT_EQ(buildComReport(ComError(static_cast<int32_t>(0x80004005u), "Shell", "broken")),
              "A COM exception occured:\n Code = 0x80004005\n Source: \"Shell\"\n"
              " Description: \"broken\"\n Error message: unknown error 0x80004005\n");
}

TEST(ReportGate, ReportsDuringAnotherOrDuringShutdownAreDropped) {
    ReportState state;
    bool inner = true;
    EXPECT_TRUE(runReport(state, [&] { inner = runReport(state, [] {}); }));
    EXPECT_FALSE(inner);
    EXPECT_EQ(state.nesting, 0);
    state.shutdown = 1;
    EXPECT_FALSE(runReport(state, [] { ADD_FAILURE() << "shown during shutdown"; }));
}

TEST(ReportGate, AFailingBoxStillLeavesTheCount) {
    ReportState state;
    EXPECT_THROW(runReport(state, [] { throw std::runtime_error("box"); }), std::runtime_error);
    EXPECT_EQ(state.nesting, 0);
}
