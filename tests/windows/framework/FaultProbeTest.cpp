// Real processor faults, made by a helper program so the test process
// survives them; the helper prints each report box it is asked to show.
#include "tests/windows/support/TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using kelvane::test::programPath;
using kelvane::test::runProcess;

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
