#pragma once
// Uniquely named services in the real service control manager, deleted again
// when the owner goes, also when a test fails. Names are "kvtest-<pid>-<n>";
// services left by a test process that died are swept away at the next start.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace kelvane::test {

struct TestServiceSetup {
    std::string arguments;   // for the test service, see tools/kelvane-test-service
    std::string binaryPath;  // instead of the test service
    std::string displayName; // defaults to the name
    DWORD type = SERVICE_WIN32_OWN_PROCESS;
    DWORD startType = SERVICE_DEMAND_START;
    std::string loadOrderGroup;
};

class TestServices {
public:
    TestServices();
    ~TestServices();
    TestServices(const TestServices&) = delete;
    TestServices& operator=(const TestServices&) = delete;

    // Creates a service; fails the test (and returns "") when that fails.
    std::string create(const TestServiceSetup& setup = {});
    // Creates one the way an administrator does: "sc.exe create NAME " and
    // the arguments ("type= kernel start= demand binPath= ...").
    std::string createWithSc(const std::string& arguments);
    // Stops and deletes one of ours now.
    void remove(const std::string& name);

    const std::vector<std::string>& names() const { return names_; }

    static std::string testServicePath();

private:
    std::vector<std::string> names_;
};

SERVICE_STATUS_PROCESS queryStatus(const std::string& name);
bool startService(const std::string& name);
bool controlService(const std::string& name, DWORD control);
// Polls every 50 ms; false when the state was not reached in time.
bool waitForState(const std::string& name, DWORD state, unsigned timeoutMs = 10000);
// Stops the service by any means and deletes it.
void destroyService(const std::string& name);

class ServiceFixture : public ::testing::Test {
protected:
    TestServices services;
};

} // namespace kelvane::test
