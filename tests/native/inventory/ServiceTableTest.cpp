// The service table: its key order, the difference between two reads, the
// change marks against the last-known state, and the shared texts in cells.
#include "inventory/ServiceEntry.h"
#include "tests/native/inventory/TestRows.h"

#include <gtest/gtest.h>

#include <set>

using namespace kelvane;
using namespace kelvane::test;
using C = ServiceColumns;

TEST(ServiceTableTest, KeysAreUniqueAndOrderByteWise) {
    ServiceTable table = C::newTable();
    for (const char* name : {"abc", "ab", "aBc", "b", "ABC", "\xE4x", "a", "abc"}) {
        table.addRow(serviceRow(name));
    }
    // Upper case before lower case, a prefix before its extensions, and
    // bytes above 127 after ASCII (compared unsigned).
    EXPECT_EQ(namesOf(table),
              (std::vector<std::string>{"ABC", "a", "aBc", "ab", "abc", "b", "\xE4x"}));
    table.addRow(serviceRow("b", 1));
    EXPECT_EQ(rowIn(table, "b").cell(C::status).text.str(), "-") << "the later row replaces";
    table.removeRow({SharedText("b")});
    EXPECT_EQ(table.rowCount(), 6u);
}

TEST(ServiceTableTest, DiffHoldsAddedChangedAndRemovedRows) {
    const ServiceTable older =
        tableOf({serviceRow("Same"), serviceRow("Changed"), serviceRow("Gone")});
    const ServiceTable newer =
        tableOf({serviceRow("Same"), serviceRow("Changed", 1), serviceRow("Added")});
    const ServiceTable difference = ServiceTable::diff(newer, older);
    EXPECT_EQ(namesOf(difference), (std::vector<std::string>{"Added", "Changed", "Gone"}));
    EXPECT_EQ(rowIn(difference, "Changed").mark, RowMark::present);
    EXPECT_EQ(rowIn(difference, "Gone").mark, RowMark::removed);
}

TEST(ServiceTableTest, OnlyPersistedColumnsMarkAChange) {
    const ServiceTable baseline = tableOf({serviceRow("Svc")});
    // Which columns are stored is pinned by the stored form (ServiceTableXmlTest).
    for (int column : {C::start, C::pid}) {
        TableRow changed = serviceRow("Svc");
        changed.cells[column] = TableCell(SharedText("7 other"));
        markAgainstBaseline(changed, baseline);
        EXPECT_EQ(changed.cell(C::changed).intValue(), column == C::start ? 1 << column : 0);
    }
    TableRow fresh = serviceRow("Fresh");
    markAgainstBaseline(fresh, baseline);
    EXPECT_EQ(fresh.cell(C::changed).text.str(), "-1");
    EXPECT_EQ(ServiceEntry::fromRow(fresh).changed, changeMaskNew);

    // A row from a stored table may lack columns; nothing reads past it.
    TableRow shortRow;
    shortRow.cells.push_back(TableCell(SharedText("Svc")));
    EXPECT_TRUE(ServiceEntry::fromRow(shortRow).displayName.empty());
    markAgainstBaseline(shortRow, baseline);
    EXPECT_NE(shortRow.cell(C::changed).intValue(), 0);
}

TEST(ServiceTableTest, CopiesShareTextBuffersAndOutliveTheSource) {
    ServiceTable source = tableOf({serviceRow("Svc")});
    ServiceTable copy = C::newTable();
    copy.assign(source);
    const TableRow original = rowIn(source, "Svc");
    EXPECT_TRUE(
        rowIn(copy, "Svc").cell(C::command).text.sharesBufferWith(original.cell(C::command).text));
    source.removeAllRows();
    EXPECT_EQ(rowIn(copy, "Svc").cell(C::displayName).text.str(), "Svc display");
}

TEST(TableCellTest, NumbersReadFromTheirLeadingDigits) {
    const struct {
        const char* text;
        ColumnType type;
        int value;
    } cases[] = {
        {"12abc", ColumnType::Integer, 12},
        {"99999999999", ColumnType::Integer, INT32_MAX},
        {"7", ColumnType::Text, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TableCell::fromText(SharedText(c.text), c.type).intValue(), c.value) << c.text;
    }
}

TEST(SharedTextTest, SelfAssignmentKeepsTheTextAndItsCount) {
    SharedText text("Spooler");
    const SharedText copy = text;
    SharedText& same = text; // x = x, as a loop over cells may do
    text = same;
    EXPECT_TRUE(text.sharesBufferWith(copy));
    SharedText moved = std::move(text);
    moved = std::move(moved);
    EXPECT_EQ(moved.str(), "Spooler");
}

TEST(SharedTextTest, BatchTextsOutliveTheBatchAndEachOtherInAnyOrder) {
    std::vector<SharedText> kept;
    {
        SharedTextBatch batch;
        for (int i = 0; i < 2000; ++i) { // several chunks
            kept.push_back(batch.make("text " + std::to_string(i)));
        }
        SharedText dropped = batch.make("gone at once");
        kept.push_back(batch.make(std::string(5000, 'x'))); // too long for a chunk
        kept.push_back(batch.make(""));
    }
    EXPECT_EQ(kept[1234].str(), "text 1234");
    EXPECT_EQ(kept[2000].size(), 5000u);
    EXPECT_TRUE(kept.back().empty());
    // Every other one first, then the rest from the back: ASan sees any
    // chunk freed early or never.
    for (size_t i = 0; i < kept.size(); i += 2) {
        kept[i] = SharedText();
    }
    EXPECT_EQ(kept[1].str(), "text 1");
    while (!kept.empty()) {
        kept.pop_back();
    }
}
