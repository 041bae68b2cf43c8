// A refresh step: the difference between the reader's table and the shown
// table changing the window's entries and telling the list.
#include "inventory/ServiceEntries.h"
#include "tests/native/inventory/TestRows.h"

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::test;

namespace {

struct RecordingSink : EntrySink {
    std::vector<std::string> events;
    void entryAdded(int number, const ServiceEntry& e) override { record("add", number, e); }
    void entryChanged(int number, const ServiceEntry& e) override { record("change", number, e); }
    void entryRemoved(int number, const ServiceEntry& e) override { record("remove", number, e); }
    void record(const char* what, int number, const ServiceEntry& e) {
        events.push_back(std::string(what) + " " + std::to_string(number) + " " +
                         e.serviceName.str() + " " + std::to_string(e.changed));
    }
};

} // namespace

TEST(ServiceEntriesTest, AddsChangesAndRemovesInKeyOrderAndNeverReusesANumber) {
    ServiceTable shown = ServiceColumns::newTable();
    ServiceEntries entries;
    RecordingSink sink;
    const ServiceTable baseline = tableOf({serviceRow("Svc", 1)});
    auto step = [&](const std::vector<TableRow>& rows, const ServiceTable* against) {
        sink.events.clear();
        const ServiceTable reader = tableOf(rows);
        const ServiceTable difference = ServiceTable::diff(reader, shown);
        shown.assign(reader);
        entries.applyDifference(difference, against, sink);
        return sink.events;
    };
    // Names that differ only in case are two services.
    EXPECT_EQ(step({serviceRow("svc", 1), serviceRow("Svc", 1)}, nullptr),
              (std::vector<std::string>{"add 1 Svc 0", "add 2 svc 0"}));
    EXPECT_EQ(step({serviceRow("Svc", 4), serviceRow("new", 1)}, &baseline),
              (std::vector<std::string>{"change 1 Svc 6160", "add 3 new -1", "remove 2 svc 0"}));
    EXPECT_EQ(entries.find(1)->statusText, "t134");
    entries.clearChangeMarks();
    EXPECT_EQ(entries.find(1)->changed, 0);
    EXPECT_EQ(step({serviceRow("Svc", 4), serviceRow("new", 1), serviceRow("svc", 1)}, nullptr),
              (std::vector<std::string>{"add 4 svc 0"}))
        << "a service that comes back gets a new number";
    EXPECT_EQ(entries.numberOf(SharedText("svc")), 4);
}
