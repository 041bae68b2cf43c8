// A state the manager reports between two reads, applied in place: both
// tables and the entry follow it, and the change mark follows the baseline
// as a refresh would set it.
#include "inventory/StateUpdate.h"

#include "inventory/ServiceColumns.h"

#include <gtest/gtest.h>

using namespace kelvane;
using C = ServiceColumns;

namespace {

const RowTexts texts = RowTexts::load([](unsigned id) { return "t" + std::to_string(id); });

TableRow serviceRow(const std::string& name, std::uint32_t state, std::uint32_t pid,
                    const std::string& account = "LocalSystem") {
    return buildServiceRow(texts, {name, name, 0x10, state, pid},
                           ServiceConfiguration{3, account, name + ".exe", ""}, "");
}

// What a finished refresh of the local computer leaves: both tables, the
// entries and the baseline hold the rows.
struct RefreshedWindow {
    ReaderState reader;
    ShownTables tables;
    ServiceEntries entries;
    explicit RefreshedWindow(const std::vector<TableRow>& rows) {
        for (const TableRow& row : rows) {
            reader.table.addRow(row);
        }
        NullEntrySink noList;
        entries.applyDifference(ServiceTable::diff(reader.table, tables.shown), nullptr, noList);
        tables.shown.assign(reader.table);
        tables.baseline.assign(reader.table);
        tables.baselineValid = true;
    }
    std::optional<StateUpdate> apply(const std::string& name, std::uint32_t state,
                                     std::uint32_t pid) {
        return applyServiceState(reader, tables, &tables.baseline, entries, texts,
                                 {name, state, pid});
    }
    TableRow row(const ServiceTable& table, const std::string& name) {
        TableRow found;
        table.findRow({SharedText(name)}, found);
        return found;
    }
};

} // namespace

TEST(StateUpdateTest, ChangesTheStateCellsOfBothTablesAndTheEntryOnly) {
    RefreshedWindow window({serviceRow("a", 1, 0), serviceRow("b", 1, 0)});
    const int number = window.entries.numberOf(SharedText("a"));
    window.entries.setIconIndex(number, 9);

    auto update = window.apply("a", 4, 42);
    ASSERT_TRUE(update);
    EXPECT_EQ(update->number, number);
    for (const ServiceTable* table : {&window.tables.shown, &window.reader.table}) {
        EXPECT_EQ(window.row(*table, "a").cell(C::pid).text, "42");
    }
    const ServiceEntry* entry = window.entries.find(number);
    EXPECT_EQ(entry->statusText, "t134");
    EXPECT_EQ(entry->iconIndex, 9);
    // The next read finds nothing the list does not already show.
    EXPECT_EQ(ServiceTable::diff(window.reader.table, window.tables.shown).rowCount(), 0u);

    // Said again, or said of a service never read: nothing to do.
    EXPECT_FALSE(window.apply("a", 4, 42));
    EXPECT_FALSE(window.apply("unknown", 4, 42));
}

// As a refresh marks a service it finds changed: the whole row against the
// baseline, whatever the mark was before.
TEST(StateUpdateTest, ChangeMarkIsTheRowAgainstTheBaseline) {
    const ChangeMask stateBits = (1 << C::status) | (1 << C::active) | (1 << C::typeImage);
    const ChangeMask accountBit = 1 << C::account;
    const TableRow stopped = serviceRow("a", 1, 0), running = serviceRow("a", 4, 7);
    struct Case {
        const char* what;
        TableRow before;
        std::vector<TableRow> baseline;
        std::uint32_t state, pid;
        ChangeMask mark;
    } cases[] = {
        {"started", stopped, {stopped}, 4, 7, stateBits},
        {"its account other than in the baseline",
         stopped,
         {serviceRow("a", 1, 0, "o")},
         4,
         7,
         accountBit | stateBits},
        {"back to the baseline's state", running, {stopped}, 1, 0, 0},
        {"not in the baseline", stopped, {}, 4, 7, changeMaskNew},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RefreshedWindow window({c.before});
        window.tables.baseline.removeAllRows();
        for (const TableRow& row : c.baseline) {
            window.tables.baseline.addRow(row);
        }
        auto update = window.apply("a", c.state, c.pid);
        ASSERT_TRUE(update);
        EXPECT_EQ(update->entry.changed, c.mark);
    }
}
