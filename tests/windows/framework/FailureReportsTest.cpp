// How failures reach the user: the report boxes, read through the box hook,
// and real processor faults, made by a helper program so the test process
// survives them (the helper prints each report box it is asked to show).
#include "tests/windows/support/DialogScript.h"
#include "tests/windows/support/TestPaths.h"

#include "framework/FailureReport.h"
#include "framework/win/Reports.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Plinth;
using namespace kelvane::test;

TEST(ReportBox, EachKindOfFailureGetsItsCaptionAndAnOwner) {
    AnsweredBoxes boxes;
    HWND given = reinterpret_cast<HWND>(0x1234), main = reinterpret_cast<HWND>(0x5678);
    {
        ErrorContext context("opening service", "Spooler");
        showException(SDKException(ERROR_ACCESS_DENIED), given);
    }
    setThreadMainWindow(main);
    showComError(ComError(static_cast<int32_t>(E_FAIL), "Shell", "gone"));
    setThreadMainWindow(nullptr);
    showStdException(std::runtime_error("plain"));

    const auto& shown = boxes.boxes;
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].caption, "Exception");
    EXPECT_EQ(shown[0].style, 0x2030u);
    EXPECT_EQ(shown[0].owner, given);
    EXPECT_EQ(shown[1].caption, "COM Exception");
    EXPECT_EQ(shown[1].owner, main) << "without an owner the thread's main window owns it";
    EXPECT_EQ(shown[2].caption, "Exception");
    EXPECT_EQ(shown[2].owner, nullptr);
}

TEST(FaultProbe, EachFaultIsReportedOnceAndEndsOrResumesAsItsKindAllows) {
    const struct {
        const char* mode;
        unsigned exitCode;
        const char* output;
    } cases[] = {
        {"worker-null-write", 0xC0000005u, "box|Exception|exception code: 0xC0000005|0x2030\n"},
        {"float-divide", 0,
         "box|Exception|exception code: 0xC000008E - Continue execution?|0x2031\n"
         "resumed 1\nresumed 2\n"},
        {"out-of-memory", 0, "SDKException 14\n"},
    };
    for (const auto& c : cases) {
        std::string output;
        const int code =
            runProcess("\"" + programPath("kelvane-fault-probe.exe") + "\" " + c.mode, &output);
        output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
        EXPECT_EQ(static_cast<unsigned>(code), c.exitCode) << c.mode;
        EXPECT_EQ(output, c.output) << c.mode;
    }
}
