// The service table: its key order, the change marks against the last-known
// state, and the shared texts in cells.
#include "inventory/ServiceEntry.h"
#include "tests/native/inventory/TestRows.h"

#include <gtest/gtest.h>

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

TEST(ServiceTableTest, AShortStoredRowIsReadWithoutGoingPastIt) {
    const ServiceTable baseline = tableOf({serviceRow("Svc")});
    // A row from a stored table may lack columns; nothing reads past it.
    TableRow shortRow;
    shortRow.cells.push_back(TableCell(SharedText("Svc")));
    EXPECT_TRUE(ServiceEntry::fromRow(shortRow).displayName.empty());
    markAgainstBaseline(shortRow, baseline);
    EXPECT_NE(shortRow.cell(C::changed).intValue(), 0);
}

TEST(TableCellTest, AnIntegerCellClampsItsNumber) {
    EXPECT_EQ(TableCell::fromText(SharedText("99999999999"), ColumnType::Integer).intValue(),
              INT32_MAX);
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
