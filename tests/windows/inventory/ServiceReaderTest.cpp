// The reader thread and the refresh cycle together, as the window runs
// them, against Wine's manager.
#include "inventory/win/ServiceReader.h"
#include "tests/windows/support/TestServices.h"

#include "framework/win/ModuleResources.h"
#include "inventory/RefreshCycle.h"

using namespace kelvane;
using namespace kelvane::test;

namespace {

struct ListRecorder : NullEntrySink {
    int removed = 0;
    void entryRemoved(int, const ServiceEntry&) override { ++removed; }
};

class ServiceReaderTest : public ServiceFixture {
protected:
    void SetUp() override { Plinth::setResourceModule(GetModuleHandleA(nullptr)); }

    RefreshResult refresh(ServiceReader& reader) {
        reader.setHost("");
        reader.startRead();
        return runRefreshCycle(reader.state(), tables, reader.hostInfo().isLocal, entries, list,
                               [&] { return waitForReaderStep(reader); });
    }
    const ServiceEntry* entryNamed(const std::string& name) {
        return entries.find(entries.numberOf(SharedText(name)));
    }

    ShownTables tables;
    ServiceEntries entries;
    ListRecorder list;
};

} // namespace

TEST_F(ServiceReaderTest, TheListFillsWhileTheReadGoesOnAndChangesAreMarkedAfterIt) {
    for (int i = 0; i < 300; ++i) {
        services.create();
    }
    const std::string kept = services.names()[0], gone = services.names()[1];
    {
        ServiceReader idle(nullptr); // ends when destroyed without a read
    }
    ServiceReader reader(nullptr);
    RefreshResult result = refresh(reader);
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(result.errorText, "");
    EXPECT_GE(result.steps, 2) << "differences arrive while the read runs, not once at the end";
    for (const std::string& name : services.names()) {
        EXPECT_NE(entryNamed(name), nullptr) << name;
    }
    EXPECT_TRUE(tables.baselineValid);

    // Which change sets which column's bit is pinned natively (RefreshCycleTest).
    services.remove(gone);
    const std::string added = services.create();
    refresh(reader);
    EXPECT_EQ(entryNamed(gone), nullptr);
    ASSERT_NE(entryNamed(added), nullptr);
    EXPECT_EQ(entryNamed(added)->changed, -1) << "absent from the baseline";
    ASSERT_NE(entryNamed(kept), nullptr);
    EXPECT_EQ(entryNamed(kept)->changed, 0) << "unchanged";
    EXPECT_EQ(list.removed, 1);
}
