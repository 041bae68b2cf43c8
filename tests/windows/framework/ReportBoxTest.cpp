// The report boxes as the user sees them, read through the box hook.
#include "tests/windows/support/DialogScript.h"

#include "framework/FailureReport.h"
#include "framework/win/Reports.h"

#include <gtest/gtest.h>

using namespace Plinth;
using kelvane::test::AnsweredBoxes;

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
    for (const std::string& part : {std::string("opening service"), std::string("Spooler"),
                                    SDKException(ERROR_ACCESS_DENIED).getMessage()}) {
        EXPECT_NE(shown[0].text.find(part), std::string::npos) << shown[0].text;
    }
    EXPECT_EQ(shown[1].caption, "COM Exception");
    EXPECT_EQ(shown[1].owner, main) << "without an owner the thread's main window owns it";
    EXPECT_EQ(shown[2].caption, "Exception");
    EXPECT_EQ(shown[2].owner, nullptr);
}
