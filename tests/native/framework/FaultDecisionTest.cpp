// The fault handler's decisions, without a platform: the host records the
// boxes it is asked to show and answers them from a script.
#include "framework/FaultDecision.h"

#include <gtest/gtest.h>

#include <deque>
#include <sstream>
#include <vector>

using namespace Plinth;

namespace {

constexpr int answerCancel = 2;

class ScriptedHost : public FaultHost {
public:
    int showBox(const std::string& text, const std::string&, unsigned style) override {
        std::ostringstream box;
        box << text << " [0x" << std::hex << style << "]";
        boxes.push_back(box.str());
        int answer = answers.empty() ? answerOk : answers.front();
        if (!answers.empty()) {
            answers.pop_front();
        }
        return answer;
    }
    void pause(unsigned ms) override { pauses.push_back(ms); }
    void endProcess(int exitCode) override { endedWith.push_back(exitCode); }
    void clearFloatingPointFlags() override { ++floatRepairs; }
    int& faultAllowance() override { return allowance; }

    std::vector<std::string> boxes; // text and style
    std::deque<int> answers;
    std::vector<unsigned> pauses;
    std::vector<int> endedWith;
    int floatRepairs = 0;
    int allowance = 1;
};

FaultRecord fault(uint32_t code, uint64_t address = 0x401000,
                  std::vector<uint64_t> parameters = {}) {
    FaultRecord record;
    record.code = code;
    record.address = address;
    record.parameters = std::move(parameters);
    return record;
}

const FaultRecord nullWrite = fault(0xC0000005u, 0x401000, {1, 0});
const FaultRecord floatDivide = fault(0xC000008Eu, 0x500);

class FaultDecisionTest : public ::testing::Test {
protected:
    ReportState state;
    ScriptedHost host;
};

} // namespace

TEST(FaultMessageNumber, AccessViolationsAtZeroTellReadFromWriteAndRangesEndWhereTheyShould) {
    const std::pair<FaultRecord, uint32_t> cases[] = {
        {fault(0xC0000005u, 0, {0, 0}), 283}, // read at address zero
        {fault(0xC0000005u, 0, {8, 0}), 282}, // execute counts as write
        {fault(0xC0000005u, 0, {0, 0x10}), 256},
        {fault(0xC000008Du), 264}, // the end of the floating-point range
        {fault(0xC0000094u), 271}, // the end of the integer range
        {fault(0xC0000097u), 279}, // past both: the generic text
    };
    for (const auto& [record, number] : cases) {
        EXPECT_EQ(faultMessageNumber(record), number) << std::hex << record.code;
    }
}

TEST_F(FaultDecisionTest, NoticesResumeForeignCodesSearchOnAndAnUncontinuableFaultIsShownOnce) {
    EXPECT_EQ(decideFault(fault(0x40010006u), host, state), ResumeExecution); // a debug print
    FaultRecord customer = fault(0xE0434352u);
    customer.viaProcessFilter = false;
    EXPECT_EQ(decideFault(customer, host, state), SearchOn);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(decideFault(nullWrite, host, state), RunHandler);
    EXPECT_EQ(host.boxes, std::vector<std::string>{"exception code: 0xC0000005 [0x2030]"});
    EXPECT_EQ(state.nesting, 0);
}

TEST_F(FaultDecisionTest, AContinueIsRememberedPerAddressOnlyWhenAnsweredOk) {
    host.answers = {answerCancel, answerOk};
    EXPECT_EQ(decideFault(floatDivide, host, state), RunHandler);
    EXPECT_EQ(decideFault(floatDivide, host, state), ResumeExecution);
    EXPECT_EQ(decideFault(floatDivide, host, state), ResumeExecution);
    ASSERT_EQ(host.boxes.size(), 2u) << "OK at an address is not asked again";
    EXPECT_EQ(host.boxes[0], "exception code: 0xC000008E - Continue execution? [0x2031]");
    EXPECT_EQ(host.floatRepairs, 3);

    EXPECT_EQ(decideFault(fault(0xC000008Eu, 0x600), host, state), ResumeExecution);
    EXPECT_EQ(host.boxes.size(), 3u) << "another address is asked about";
}

TEST_F(FaultDecisionTest, FaultsDuringAReportTakeTheNestedPath) {
    state.nesting = 1;
    EXPECT_EQ(decideFault(floatDivide, host, state), ResumeExecution);
    EXPECT_TRUE(host.boxes.empty()) << "a continuable nested fault resumes quietly";
    EXPECT_EQ(decideFault(nullWrite, host, state), RunHandler);
    EXPECT_EQ(host.boxes, std::vector<std::string>{"An uncontinuable exception occured\nwhile "
                                                   "processing an previous exception! [0x1030]"});

    state.nesting = 2;
    EXPECT_EQ(decideFault(nullWrite, host, state), RunHandler);
    EXPECT_TRUE(host.endedWith.empty());
    decideFault(nullWrite, host, state);
    EXPECT_EQ(host.endedWith, std::vector<int>{-1}) << "allowance used up";
    EXPECT_EQ(state.nesting, 2);
}

TEST_F(FaultDecisionTest, DuringShutdownNoBoxAndUncontinuableFaultsEndTheProcess) {
    state.shutdown = 1;
    EXPECT_EQ(decideFault(floatDivide, host, state), RunHandler);
    EXPECT_TRUE(host.endedWith.empty());
    decideFault(nullWrite, host, state);
    EXPECT_EQ(host.endedWith, std::vector<int>{-1});
    EXPECT_TRUE(host.boxes.empty());
}
