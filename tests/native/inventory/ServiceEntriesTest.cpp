// A refresh step: the difference between the reader's table and the shown
// table changing the window's entries and telling the list.
#include "inventory/RowBuilder.h"
#include "inventory/ServiceColumns.h"
#include "inventory/ServiceEntries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kelvane;
using C = ServiceColumns;

namespace {

struct RecordingSink : EntrySink {
    std::vector<std::string> events;
    void entryAdded(int number, const ServiceEntry& e) override { record("add", number, e); }
    void entryChanged(int number, const ServiceEntry& e) override { record("change", number, e); }
    void entryRemoved(int number, const ServiceEntry& e) override { record("remove", number, e); }
    void record(const char* what, int number, const ServiceEntry& e) {
        events.push_back(std::string(what) + " " + std::to_string(number) + " " +
                         std::string(e.serviceName.view()) + " " + std::to_string(e.changed));
    }
};

TableRow serviceRow(const std::string& name, unsigned state,
                    const std::string& account = "LocalSystem") {
    RowTexts texts = RowTexts::load([](unsigned id) { return "t" + std::to_string(id); });
    return buildServiceRow(texts, {name, name + " display", 0x10, state, state == 4 ? 100u : 0u},
                           ServiceConfiguration{3, account, name + ".exe", ""}, "");
}

// One refresh step as the window runs it: the difference, the copy into the
// shown table, then the entries.
void refreshStep(const ServiceTable& reader, ServiceTable& shown, ServiceEntries& entries,
                 const ServiceTable* baseline, EntrySink& sink) {
    ServiceTable difference = ServiceTable::diff(reader, shown);
    shown.assign(reader);
    entries.applyDifference(difference, baseline, sink);
}

} // namespace

TEST(ServiceEntriesTest, AddsChangesAndRemovesInKeyOrder) {
    ServiceTable reader = ServiceColumns::newTable(), shown = ServiceColumns::newTable();
    ServiceEntries entries;
    RecordingSink sink;

    reader.addRow(serviceRow("b", 1));
    reader.addRow(serviceRow("a", 4));
    refreshStep(reader, shown, entries, nullptr, sink);
    EXPECT_EQ(sink.events, (std::vector<std::string>{"add 1 a 0", "add 2 b 0"}));

    sink.events.clear();
    reader.addRow(serviceRow("b", 4));
    reader.removeRow({SharedText("a")});
    reader.addRow(serviceRow("c", 1));
    refreshStep(reader, shown, entries, nullptr, sink);
    EXPECT_EQ(sink.events, (std::vector<std::string>{"remove 1 a 0", "change 2 b 0", "add 3 c 0"}));
    EXPECT_EQ(entries.numberOf(SharedText("a")), 0);
    EXPECT_EQ(entries.find(2)->statusText, "t134");

    // A service that comes back gets a new number: numbers are never reused.
    sink.events.clear();
    reader.addRow(serviceRow("a", 1));
    refreshStep(reader, shown, entries, nullptr, sink);
    EXPECT_EQ(sink.events, (std::vector<std::string>{"add 4 a 0"}));
}

TEST(ServiceEntriesTest, NamesDifferingOnlyInCaseAreTwoEntries) {
    ServiceTable reader = ServiceColumns::newTable(), shown = ServiceColumns::newTable();
    ServiceEntries entries;
    RecordingSink sink;
    reader.addRow(serviceRow("Svc", 1));
    reader.addRow(serviceRow("svc", 1));
    refreshStep(reader, shown, entries, nullptr, sink);
    EXPECT_EQ(entries.entries().size(), 2u);
    EXPECT_NE(entries.numberOf(SharedText("Svc")), entries.numberOf(SharedText("svc")));
}

TEST(ServiceEntriesTest, MarksAgainstTheBaselineOnlyWhenGiven) {
    ServiceTable baseline = ServiceColumns::newTable();
    baseline.addRow(serviceRow("old", 4));
    ServiceTable reader = ServiceColumns::newTable(), shown = ServiceColumns::newTable();
    reader.addRow(serviceRow("old", 1)); // stopped since the baseline
    reader.addRow(serviceRow("new", 1));

    ServiceEntries local;
    RecordingSink sink;
    refreshStep(reader, shown, local, &baseline, sink);
    EXPECT_EQ(sink.events, (std::vector<std::string>{"add 1 new -1", "add 2 old 6160"}));

    ServiceTable shownRemote = ServiceColumns::newTable();
    ServiceEntries remote;
    RecordingSink remoteSink;
    refreshStep(reader, shownRemote, remote, nullptr, remoteSink);
    EXPECT_EQ(remoteSink.events, (std::vector<std::string>{"add 1 new 0", "add 2 old 0"}));
}

TEST(ServiceEntriesTest, ClearingMarksKeepsTheEntries) {
    ServiceTable baseline = ServiceColumns::newTable();
    ServiceTable reader = ServiceColumns::newTable(), shown = ServiceColumns::newTable();
    reader.addRow(serviceRow("x", 1));
    ServiceEntries entries;
    RecordingSink sink;
    refreshStep(reader, shown, entries, &baseline, sink);
    ASSERT_EQ(entries.find(1)->changed, -1);
    entries.clearChangeMarks();
    EXPECT_EQ(entries.find(1)->changed, 0);
    EXPECT_EQ(entries.entries().size(), 1u);
}

TEST(ServiceEntriesTest, AnEmptiedReaderTableRemovesEveryEntry) {
    // A failed connection empties the reader's table; the list must follow.
    ServiceTable reader = ServiceColumns::newTable(), shown = ServiceColumns::newTable();
    ServiceEntries entries;
    RecordingSink sink;
    for (int i = 0; i < 50; ++i) {
        reader.addRow(serviceRow("s" + std::to_string(i), 1));
    }
    refreshStep(reader, shown, entries, nullptr, sink);
    reader.removeAllRows();
    sink.events.clear();
    refreshStep(reader, shown, entries, nullptr, sink);
    EXPECT_EQ(sink.events.size(), 50u);
    EXPECT_TRUE(entries.entries().empty());
}
