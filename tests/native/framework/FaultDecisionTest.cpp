// The fault handler's decisions, without a platform: the host records the
// boxes it is asked to show and answers them from a script.
#include "framework/FaultDecision.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

using namespace Plinth;

namespace {

struct Box {
    std::string text;
    std::string caption;
    unsigned style;
};

class ScriptedHost : public FaultHost {
public:
    int showBox(const std::string& text, const std::string& caption, unsigned style) override {
        boxes.push_back({text, caption, style});
        if (answers.empty()) {
            return answerOk;
        }
        int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void pause(unsigned ms) override { pauses.push_back(ms); }
    void endProcess(int exitCode) override { endedWith.push_back(exitCode); }
    void clearFloatingPointFlags() override { ++floatRepairs; }
    int& faultAllowance() override { return allowance; }

    std::vector<Box> boxes;
    std::deque<int> answers;
    std::vector<unsigned> pauses;
    std::vector<int> endedWith;
    int floatRepairs = 0;
    int allowance = 1;
};

constexpr int answerCancel = 2;

FaultRecord accessViolation(uint64_t kind, uint64_t target) {
    FaultRecord fault;
    fault.code = 0xC0000005u;
    fault.flags = 0;
    fault.address = 0x401000;
    fault.parameters = {kind, target};
    return fault;
}

FaultRecord floatDivide(uint64_t address) {
    FaultRecord fault;
    fault.code = 0xC000008Eu;
    fault.address = address;
    return fault;
}

class FaultDecisionTest : public ::testing::Test {
protected:
    ReportState state;
    ScriptedHost host;
};

} // namespace

TEST(FaultMessageNumber, AccessViolationsAtAddressZeroTellReadFromWrite) {
    EXPECT_EQ(faultMessageNumber(accessViolation(0, 0)), 283u);
    EXPECT_EQ(faultMessageNumber(accessViolation(1, 0)), 282u);
    EXPECT_EQ(faultMessageNumber(accessViolation(8, 0)), 282u);
    EXPECT_EQ(faultMessageNumber(accessViolation(0, 0x10)), 256u);
    FaultRecord bare = accessViolation(0, 0);
    bare.parameters.clear();
    EXPECT_EQ(faultMessageNumber(bare), 256u);
}

TEST(FaultMessageNumber, EveryKindHasItsNumber) {
    const std::pair<uint32_t, uint32_t> table[] = {
        {0xC0000006u, 257}, {0xC0000008u, 258}, {0xC0000017u, 259}, {0xC000001Du, 260},
        {0xC0000025u, 261}, {0xC0000026u, 262}, {0xC000008Cu, 263}, {0xC000008Du, 264},
        {0xC0000093u, 270}, {0xC0000094u, 271}, {0xC0000096u, 273}, {0xC00000FDu, 274},
        {0xC000013Au, 275}, {0xC0000135u, 276}, {0xC0000142u, 277}, {0xE06D7363u, 278},
        {0xC06D007Eu, 289}, {0xC06D007Fu, 290}, {0xC0000097u, 279}, {0xC00002B5u, 279}};
    for (auto [code, number] : table) {
        FaultRecord fault;
        fault.code = code;
        EXPECT_EQ(faultMessageNumber(fault), number) << std::hex << code;
    }
}

TEST_F(FaultDecisionTest, NoticesResumeWarningsAndForeignCodesSearchOn) {
    FaultRecord notice;
    notice.code = 0x40010006u; // a debug print
    EXPECT_EQ(decideFault(notice, host, state), ResumeExecution);
    FaultRecord warning;
    warning.code = 0x80000003u;
    EXPECT_EQ(decideFault(warning, host, state), SearchOn);
    FaultRecord customer;
    customer.code = 0xE0434352u;
    customer.viaProcessFilter = false;
    EXPECT_EQ(decideFault(customer, host, state), SearchOn);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(state.nesting, 0);
}

TEST_F(FaultDecisionTest, AnUncontinuableFaultIsShownOnceAndRunsTheHandler) {
    EXPECT_EQ(decideFault(accessViolation(1, 0), host, state), RunHandler);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].caption, "Exception");
    EXPECT_EQ(host.boxes[0].text, "exception code: 0xC0000005");
    EXPECT_EQ(host.boxes[0].style, 0x2030u);
    EXPECT_EQ(state.nesting, 0);
}

TEST_F(FaultDecisionTest, ContinueAnswerIsRememberedPerAddressOnlyWhenOk) {
    host.answers = {answerCancel, answerOk};
    EXPECT_EQ(decideFault(floatDivide(0x500), host, state), RunHandler);
    EXPECT_EQ(decideFault(floatDivide(0x500), host, state), ResumeExecution);
    EXPECT_EQ(decideFault(floatDivide(0x500), host, state), ResumeExecution);
    ASSERT_EQ(host.boxes.size(), 2u) << "OK at an address is not asked again";
    EXPECT_EQ(host.boxes[0].text, "exception code: 0xC000008E - Continue execution?");
    EXPECT_EQ(host.boxes[0].style, 0x2031u);
    EXPECT_EQ(host.floatRepairs, 3);

    EXPECT_EQ(decideFault(floatDivide(0x600), host, state), ResumeExecution);
    EXPECT_EQ(host.boxes.size(), 3u) << "another address is asked about";
}

TEST_F(FaultDecisionTest, FaultsDuringAReportTakeTheNestedPath) {
    state.nesting = 1;
    EXPECT_EQ(decideFault(floatDivide(0x500), host, state), ResumeExecution);
    EXPECT_TRUE(host.boxes.empty()) << "a continuable nested fault resumes quietly";

    EXPECT_EQ(decideFault(accessViolation(0, 0), host, state), RunHandler);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text,
              "An uncontinuable exception occured\nwhile processing an previous exception!");
    EXPECT_EQ(host.boxes[0].style, 0x1030u);

    state.nesting = 2;
    EXPECT_EQ(decideFault(accessViolation(0, 0), host, state), RunHandler);
    EXPECT_EQ(host.pauses, std::vector<unsigned>{3000});
    EXPECT_EQ(host.allowance, 0);
    EXPECT_TRUE(host.endedWith.empty());

    decideFault(accessViolation(0, 0), host, state);
    EXPECT_EQ(host.endedWith, std::vector<int>{-1}) << "allowance used up";
    EXPECT_EQ(host.pauses.back(), 15000u);
    EXPECT_EQ(state.nesting, 2);
}

TEST_F(FaultDecisionTest, DuringShutdownNoBoxAndUncontinuableFaultsEndTheProcess) {
    state.shutdown = 1;
    EXPECT_EQ(decideFault(floatDivide(0x500), host, state), RunHandler);
    EXPECT_TRUE(host.endedWith.empty());
    decideFault(accessViolation(0, 0), host, state);
    EXPECT_EQ(host.endedWith, std::vector<int>{-1});
    EXPECT_TRUE(host.boxes.empty());
}
