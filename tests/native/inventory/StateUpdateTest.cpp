// A state the manager reports between two reads, applied in place: both
// tables and the entry follow it, and the change mark follows the baseline
// as a refresh would set it.
#include "inventory/StateUpdate.h"
#include "tests/native/inventory/TestRows.h"

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::test;
using C = ServiceColumns;

namespace {

// What a finished refresh of the local computer leaves: both tables and the
// entries hold the rows, the baseline those given.
struct RefreshedWindow {
    ReaderState reader;
    ShownTables tables;
    ServiceEntries entries;
    RefreshedWindow(const std::vector<TableRow>& rows, const std::vector<TableRow>& baseline) {
        reader.table.assign(tableOf(rows));
        NullEntrySink noList;
        entries.applyDifference(ServiceTable::diff(reader.table, tables.shown), nullptr, noList);
        tables.shown.assign(reader.table);
        tables.baseline.assign(tableOf(baseline));
        tables.baselineValid = true;
    }
    std::optional<StateUpdate> apply(const std::string& name, std::uint32_t state,
                                     std::uint32_t pid) {
        return applyServiceState(reader, tables, &tables.baseline, entries, numberedTexts(),
                                 {name, state, pid});
    }
};

} // namespace

TEST(StateUpdateTest, ChangesTheStateCellsOfBothTablesAndTheEntryOnly) {
    RefreshedWindow window({serviceRow("a", 1), serviceRow("b", 1)},
                           {serviceRow("a", 1), serviceRow("b", 1)});
    const int number = window.entries.numberOf(SharedText("a"));
    window.entries.setIconIndex(number, 9);

    auto update = window.apply("a", 4, 42);
    ASSERT_TRUE(update);
    EXPECT_EQ(update->number, number);
    for (const ServiceTable* table : {&window.tables.shown, &window.reader.table}) {
        EXPECT_EQ(rowIn(*table, "a").cell(C::pid).text, "42");
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
    TableRow otherAccount = serviceRow("a", 1);
    otherAccount.cells[C::account] = TableCell(SharedText("o"));
    const struct {
        std::vector<TableRow> before, baseline;
        std::uint32_t state;
        ChangeMask mark;
    } cases[] = {
        {{serviceRow("a", 1)}, {otherAccount}, 4, (1 << C::account) | stateBits},
        {{serviceRow("a", 4)}, {serviceRow("a", 1)}, 1, 0}, // back to the baseline's state
        {{serviceRow("a", 1)}, {}, 4, changeMaskNew},
    };
    for (const auto& c : cases) {
        RefreshedWindow window(c.before, c.baseline);
        auto update = window.apply("a", c.state, c.state == 4 ? 100 : 0);
        ASSERT_TRUE(update);
        EXPECT_EQ(update->entry.changed, c.mark) << c.state << " " << c.baseline.size();
    }
}
