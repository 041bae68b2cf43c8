// A refresh while a reader thread fills its table: the list gets the
// services step by step, marks follow the baseline, and a quit ends it.
#include "inventory/RefreshCycle.h"
#include "inventory/RowBuilder.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <new>
#include <thread>

using namespace kelvane;

namespace {

struct CountingSink : EntrySink {
    int added = 0, changed = 0, removed = 0;
    void entryAdded(int, const ServiceEntry&) override { ++added; }
    void entryChanged(int, const ServiceEntry&) override { ++changed; }
    void entryRemoved(int, const ServiceEntry&) override { ++removed; }
};

TableRow row(const std::string& name, unsigned startType = 3) {
    RowTexts texts = RowTexts::load([](unsigned id) { return std::to_string(id); });
    return buildServiceRow(texts, {name, name, 0x10, 1, 0},
                           ServiceConfiguration{startType, "LocalSystem", name, ""}, "");
}

// A reader that adds one batch per wait step of the window, so the test
// decides the interleaving instead of the scheduler.
class SteppedReader {
public:
    explicit SteppedReader(ReaderState& state) : state_(state) {}

    void start(std::vector<std::vector<std::string>> batches) {
        batches_ = std::move(batches);
        state_.busy = true;
    }
    // One window wait step: the reader delivers its next batch, or ends.
    bool step() {
        ++steps_;
        std::lock_guard<std::recursive_mutex> guard(state_.lock);
        if (next_ < batches_.size()) {
            for (const std::string& name : batches_[next_]) {
                state_.table.addRow(row(name));
            }
            state_.newData = true;
            ++next_;
        } else {
            state_.busy = false;
        }
        return true;
    }
    int steps() const { return steps_; }

private:
    ReaderState& state_;
    std::vector<std::vector<std::string>> batches_;
    size_t next_ = 0;
    int steps_ = 0;
};

} // namespace

TEST(RefreshCycleTest, TheListFillsInSeveralStepsWhileTheReadGoesOn) {
    ReaderState reader;
    ShownTables tables;
    ServiceEntries entries;
    CountingSink sink;
    SteppedReader stepped(reader);
    stepped.start({{"a", "b"}, {"c"}, {"d", "e", "f"}});
    RefreshResult result =
        runRefreshCycle(reader, tables, true, entries, sink, [&] { return stepped.step(); });
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(result.steps, 3) << "one difference per batch, not one at the end";
    EXPECT_EQ(sink.added, 6);
    EXPECT_TRUE(tables.baselineValid);
    EXPECT_EQ(tables.baseline.rowCount(), 6u);
}

TEST(RefreshCycleTest, MarksOnlyAgainstAValidLocalBaseline) {
    ReaderState reader;
    ShownTables tables;
    ServiceEntries entries;
    CountingSink sink;
    SteppedReader first(reader);
    first.start({{"a"}});
    runRefreshCycle(reader, tables, true, entries, sink, [&] { return first.step(); });
    // The first refresh has no baseline yet: nothing is marked.
    EXPECT_EQ(entries.find(1)->changed, 0);

    // Second refresh: "a" changes its start type, "b" is new.
    {
        std::lock_guard<std::recursive_mutex> guard(reader.lock);
        reader.table.addRow(row("a", 4));
    }
    SteppedReader second(reader);
    second.start({{"b"}});
    runRefreshCycle(reader, tables, true, entries, sink, [&] { return second.step(); });
    EXPECT_EQ(entries.find(entries.numberOf(SharedText("a")))->changed, 8)
        << "the start column's bit";
    EXPECT_EQ(entries.find(entries.numberOf(SharedText("b")))->changed, -1);
}

TEST(RefreshCycleTest, ARemoteReadLeavesTheBaselineAlone) {
    ReaderState reader;
    ShownTables tables;
    tables.baseline.addRow(row("local-only"));
    tables.baselineValid = true;
    ServiceEntries entries;
    CountingSink sink;
    SteppedReader stepped(reader);
    stepped.start({{"remote-a"}});
    runRefreshCycle(reader, tables, false, entries, sink, [&] { return stepped.step(); });
    EXPECT_EQ(entries.find(1)->changed, 0) << "no marks for a remote computer";
    TableRow kept;
    EXPECT_TRUE(tables.baseline.findRow({SharedText("local-only")}, kept));
    EXPECT_EQ(tables.baseline.rowCount(), 1u);
}

TEST(RefreshCycleTest, AnEmptiedReaderTableEmptiesTheListAndReportsTheError) {
    ReaderState reader;
    ShownTables tables;
    ServiceEntries entries;
    CountingSink sink;
    SteppedReader stepped(reader);
    stepped.start({{"a", "b"}});
    runRefreshCycle(reader, tables, true, entries, sink, [&] { return stepped.step(); });

    // The next read cannot open the manager: it empties the table and ends.
    {
        std::lock_guard<std::recursive_mutex> guard(reader.lock);
        reader.table.removeAllRows();
        reader.newData = true;
        reader.errorText = "The RPC server is unavailable.";
    }
    RefreshResult result =
        runRefreshCycle(reader, tables, false, entries, sink, [] { return true; });
    EXPECT_EQ(sink.removed, 2);
    EXPECT_EQ(result.errorText, "The RPC server is unavailable.");
}

TEST(RefreshCycleTest, AReadThatThrowsEndsWithItsErrorAndKeepsTheBaseline) {
    ReaderState reader;
    ShownTables tables;
    tables.baseline.addRow(row("a"));
    tables.baseline.addRow(row("b"));
    tables.baselineValid = true;
    ServiceEntries entries;
    CountingSink sink;
    auto readOnThread = [&](std::vector<std::string> names, bool fail) {
        reader.busy = true;
        return std::thread([&reader, names, fail] {
            runOneRead(reader, [&] {
                std::lock_guard<std::recursive_mutex> guard(reader.lock);
                for (const std::string& name : names) {
                    reader.table.addRow(row(name));
                }
                reader.newData = true;
                if (fail) {
                    throw std::bad_alloc();
                }
            });
        });
    };
    auto wait = [] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return true;
    };

    std::thread failing = readOnThread({"a"}, true);
    RefreshResult result = runRefreshCycle(reader, tables, true, entries, sink, wait);
    failing.join();
    EXPECT_TRUE(result.completed) << "the refresh ends instead of waiting for ever";
    EXPECT_FALSE(result.errorText.empty());
    EXPECT_TRUE(tables.baselineValid);
    EXPECT_EQ(tables.baseline.rowCount(), 2u) << "a failed read is no baseline";

    std::thread good = readOnThread({"a", "b"}, false);
    result = runRefreshCycle(reader, tables, true, entries, sink, wait);
    good.join();
    EXPECT_TRUE(result.errorText.empty());
    for (const auto& [number, entry] : entries.entries()) {
        EXPECT_EQ(entry.changed, 0) << entry.serviceName.str() << " did not change";
    }
}

TEST(RefreshCycleTest, AQuitDuringTheWaitEndsTheRefresh) {
    ReaderState reader;
    ShownTables tables;
    ServiceEntries entries;
    CountingSink sink;
    reader.busy = true;
    RefreshResult result =
        runRefreshCycle(reader, tables, true, entries, sink, [] { return false; });
    EXPECT_FALSE(result.completed);
    EXPECT_FALSE(tables.baselineValid) << "an interrupted read is no baseline";
}

TEST(RefreshCycleTest, RunsAgainstARealReaderThread) {
    // The same cycle with the reader on its own thread, as the program runs.
    ReaderState reader;
    ShownTables tables;
    ServiceEntries entries;
    CountingSink sink;
    std::mutex doneMutex;
    std::condition_variable doneEvent;
    reader.busy = true;
    std::thread worker([&] {
        for (int i = 0; i < 500; ++i) {
            std::lock_guard<std::recursive_mutex> guard(reader.lock);
            reader.table.addRow(row("s" + std::to_string(i)));
            reader.newData = true;
        }
        reader.busy = false;
        doneEvent.notify_all();
    });
    auto wait = [&] {
        std::unique_lock<std::mutex> lock(doneMutex);
        doneEvent.wait_for(lock, std::chrono::milliseconds(5), [&] { return !reader.busy.load(); });
        return true;
    };
    RefreshResult result = runRefreshCycle(reader, tables, true, entries, sink, wait);
    worker.join();
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(sink.added, 500);
    EXPECT_EQ(entries.entries().size(), 500u);
}
