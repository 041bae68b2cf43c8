// The report boxes as the user sees them, read through the box hook.
#include "BoxRecorder.h"
#include "framework/FailureReport.h"
#include "framework/win/Reports.h"
#include "framework/win/UniqueHandle.h"

#include <gtest/gtest.h>

#include <thread>

using namespace Plinth;
using kelvane::test::BoxRecorder;

TEST(ReportBox, ShowsContextAndMessageUnderTheCaptionException) {
    BoxRecorder recorder;
    HWND owner = reinterpret_cast<HWND>(0x1234);
    {
        ErrorContext context("opening service", "Spooler");
        showException(SDKException(ERROR_ACCESS_DENIED), owner);
    }
    auto boxes = recorder.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Exception");
    EXPECT_EQ(boxes[0].style, 0x2030u);
    EXPECT_EQ(boxes[0].owner, owner);
    const std::string expectedStart =
        "Ein Fehler trat auf w\xE4hrend opening service\nObject: Spooler:\n";
    EXPECT_EQ(boxes[0].text.substr(0, expectedStart.size()), expectedStart);
    EXPECT_EQ(boxes[0].text.substr(expectedStart.size()),
              SDKException(ERROR_ACCESS_DENIED).getMessage());
}

TEST(ReportBox, WithoutOwnerTheThreadsMainWindowOwnsTheBox) {
    BoxRecorder recorder;
    HWND main = reinterpret_cast<HWND>(0x5678);
    setThreadMainWindow(main);
    showComError(ComError(static_cast<int32_t>(E_FAIL), "Shell", "gone"));
    setThreadMainWindow(nullptr);
    showStdException(std::runtime_error("plain"));
    auto boxes = recorder.boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "COM Exception");
    EXPECT_EQ(boxes[0].owner, main);
    EXPECT_EQ(boxes[0].text.rfind("A COM exception occured:\n Code = 0x80004005\n Source: "
                                  "\"Shell\"\n Description: \"gone\"\n Error message: ",
                                  0),
              0u)
        << boxes[0].text;
    EXPECT_EQ(boxes[1].caption, "Exception");
    EXPECT_EQ(boxes[1].owner, nullptr);
    EXPECT_EQ(boxes[1].text, "An exception occured:\nplain\n");
}

TEST(ReportBox, TwoFailuresAtOnceShowOneBox) {
    UniqueHandleObject shown(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    UniqueHandleObject secondDone(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    BoxRecorder recorder([&] {
        SetEvent(shown.get());
        WaitForSingleObject(secondDone.get(), INFINITE);
    });
    std::thread first([] { showException(UserException("first")); });
    WaitForSingleObject(shown.get(), INFINITE);
    std::thread second([] { showException(UserException("second")); });
    second.join(); // returns while the first box is still up
    SetEvent(secondDone.get());
    first.join();
    auto boxes = recorder.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("first"), std::string::npos);
}

TEST(ReportBox, NoneDuringShutdown) {
    BoxRecorder recorder;
    enterShutdown();
    showException(UserException("late"));
    showStdException(std::runtime_error("late"));
    leaveShutdown();
    EXPECT_TRUE(recorder.boxes().empty());
}
