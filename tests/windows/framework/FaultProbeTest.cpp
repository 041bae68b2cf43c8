// Real processor faults, made by a helper program so the test process
// survives them; the helper prints each report box it is asked to show.
#include "tests/windows/support/TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using kelvane::test::programPath;
using kelvane::test::runProcess;

namespace {

int runProbe(const std::string& mode, std::string& output) {
    int code =
        runProcess("\"" + programPath("kelvane-fault-probe.exe") + "\" " + mode, &output, 60000);
    // The helper's standard output is in text mode.
    output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
    return code;
}

int countOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

} // namespace

TEST(FaultProbe, AccessViolationOnAWorkerIsReportedAndEndsTheProcess) {
    std::string output;
    int code = runProbe("worker-null-write", output);
    EXPECT_EQ(static_cast<unsigned>(code), 0xC0000005u) << output;
    EXPECT_EQ(countOf(output, "box|Exception|exception code: 0xC0000005|0x2030\n"), 1) << output;
    EXPECT_EQ(output.find("worker ended"), std::string::npos) << output;
}

TEST(FaultProbe, FloatFaultAnsweredOkResumesAndIsNotAskedAgainThere) {
    std::string output;
    int code = runProbe("float-divide", output);
    EXPECT_EQ(code, 0) << output;
    EXPECT_EQ(countOf(output, "box|Exception|exception code: 0xC000008E - Continue execution?|"
                              "0x2031\n"),
              1)
        << output;
    EXPECT_NE(output.find("resumed 2"), std::string::npos) << output;
}

TEST(FaultProbe, FailedAllocationRaisesNotEnoughMemory) {
    std::string output;
    EXPECT_EQ(runProbe("out-of-memory", output), 0);
    EXPECT_EQ(output, "SDKException 14\n");
}
