// A refresh while a reader fills its table: the list gets the services step
// by step, marks follow the baseline, and a quit or a failed read ends it.
#include "inventory/RefreshCycle.h"
#include "tests/native/inventory/TestRows.h"

#include <gtest/gtest.h>

#include <new>
#include <thread>

using namespace kelvane;
using namespace kelvane::test;

namespace {

class RefreshCycleTest : public ::testing::Test {
protected:
    // A read that delivers one batch per wait step of the window, so the test
    // decides the interleaving instead of the scheduler.
    RefreshResult refresh(std::vector<std::vector<TableRow>> batches, bool local = true) {
        reader.busy = true;
        size_t next = 0;
        return runRefreshCycle(reader, tables, local, entries, sink, [&] {
            std::lock_guard<std::recursive_mutex> guard(reader.lock);
            if (next < batches.size()) {
                for (const TableRow& row : batches[next++]) {
                    reader.table.addRow(row);
                }
                reader.newData = true;
            } else {
                reader.busy = false;
            }
            return true;
        });
    }
    int changedOf(const std::string& name) {
        return entries.find(entries.numberOf(SharedText(name)))->changed;
    }

    ReaderState reader;
    ShownTables tables;
    ServiceEntries entries;
    NullEntrySink sink;
};

} // namespace

TEST_F(RefreshCycleTest, TheListFillsInSeveralStepsAndMarksFollowTheLocalBaseline) {
    const RefreshResult first =
        refresh({{serviceRow("a"), serviceRow("b")}, {serviceRow("c")}, {serviceRow("d")}});
    EXPECT_TRUE(first.completed);
    EXPECT_EQ(first.steps, 3) << "one difference per batch, not one at the end";
    EXPECT_EQ(changedOf("a"), 0) << "the first refresh has no baseline to mark against";
    EXPECT_TRUE(tables.baselineValid);
    EXPECT_EQ(tables.baseline.rowCount(), 4u);

    refresh({{serviceRow("a", 4, 4), serviceRow("e")}});
    EXPECT_EQ(changedOf("a"), 8) << "the start column's bit";
    EXPECT_EQ(changedOf("e"), -1);

    // A remote computer is neither marked nor made the baseline.
    refresh({{serviceRow("remote")}}, false);
    EXPECT_EQ(changedOf("remote"), 0);
    EXPECT_EQ(changedOf("a"), 0) << "the marks of the last refresh are cleared";
    EXPECT_EQ(tables.baseline.rowCount(), 5u);
}

TEST_F(RefreshCycleTest, AReadThatThrowsEndsWithItsErrorAndKeepsTheBaseline) {
    tables.baseline.addRow(serviceRow("a"));
    tables.baseline.addRow(serviceRow("b"));
    tables.baselineValid = true;
    auto readOnThread = [&](std::vector<std::string> names, bool fail) {
        reader.busy = true;
        std::thread read([this, names, fail] {
            runOneRead(reader, [&] {
                std::lock_guard<std::recursive_mutex> guard(reader.lock);
                for (const std::string& name : names) {
                    reader.table.addRow(serviceRow(name));
                }
                reader.newData = true;
                if (fail) {
                    throw std::bad_alloc();
                }
            });
        });
        const RefreshResult result = runRefreshCycle(reader, tables, true, entries, sink, [] {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return true;
        });
        read.join();
        return result;
    };

    RefreshResult result = readOnThread({"a"}, true);
    EXPECT_TRUE(result.completed) << "the refresh ends instead of waiting for ever";
    EXPECT_FALSE(result.errorText.empty());
    EXPECT_EQ(tables.baseline.rowCount(), 2u) << "a failed read is no baseline";

    result = readOnThread({"a", "b"}, false);
    EXPECT_TRUE(result.errorText.empty());
}

TEST_F(RefreshCycleTest, AQuitDuringTheWaitEndsTheRefresh) {
    reader.busy = true;
    const RefreshResult result =
        runRefreshCycle(reader, tables, true, entries, sink, [] { return false; });
    EXPECT_FALSE(result.completed);
    EXPECT_FALSE(tables.baselineValid) << "an interrupted read is no baseline";
}
