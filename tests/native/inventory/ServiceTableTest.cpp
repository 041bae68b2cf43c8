#include "inventory/ServiceColumns.h"
#include "inventory/ServiceEntry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kelvane;

namespace {

using C = ServiceColumns;

// A running own-process service with every persisted column filled.
TableRow serviceRow(const std::string& name) {
    TableRow row;
    row.cells.resize(C::count);
    row.cells[C::serviceName] = TableCell(SharedText(name));
    row.cells[C::displayName] = TableCell(SharedText("Display " + name));
    row.cells[C::start] = TableCell(SharedText("automatic"));
    row.cells[C::status] = TableCell(SharedText("started"));
    row.cells[C::pid] = TableCell::integer(1234);
    row.cells[C::account] = TableCell(SharedText("LocalSystem"));
    row.cells[C::command] = TableCell(SharedText("C:\\svc\\" + name + ".exe"));
    row.cells[C::type] = TableCell::integer(16);
    row.cells[C::active] = TableCell::integer(1);
    row.cells[C::typeImage] = TableCell::integer(5);
    row.cells[C::time] = TableCell(SharedText("01.02.2026 03:04:05"));
    return row;
}

void stop(TableRow& row) {
    row.cells[C::status] = TableCell(SharedText("-"));
    row.cells[C::pid] = TableCell(SharedText(), 0);
    row.cells[C::active] = TableCell::integer(2);
    row.cells[C::typeImage] = TableCell::integer(4);
}

std::vector<std::string> namesOf(const ServiceTable& table) {
    std::vector<std::string> names;
    auto guard = table.lock();
    for (const auto& entry : table.rows()) {
        names.push_back(entry.second.cell(C::serviceName).text.str());
    }
    return names;
}

std::uint32_t markOf(const ServiceTable& table, const std::string& name) {
    TableRow row;
    EXPECT_TRUE(table.findRow({SharedText(name)}, row)) << name;
    return row.mark;
}

class ServiceTableTest : public ::testing::Test {
protected:
    ServiceTable newer = C::newTable();
    ServiceTable older = C::newTable();
};

} // namespace

TEST_F(ServiceTableTest, ServiceColumnsHaveTheirIndexesAndOneKey) {
    const ServiceTable& columns = C::prototype();
    EXPECT_EQ(columns.keyCount(), 1);
    ASSERT_EQ(columns.columns().size(), static_cast<size_t>(C::count));
    EXPECT_EQ(columns.findColumn("serviceName")->index, 0);
    EXPECT_EQ(columns.findColumn("changed")->index, 14);
    EXPECT_EQ(columns.findColumn("time")->type, ColumnType::Time);
    int persisted = 0, optional = 0;
    for (const auto& entry : columns.columns()) {
        // The first fifteen as they always were; the later persisted ones
        // are those an older baseline lacks.
        persisted += entry.second.persist && entry.second.index < 15 ? 1 : 0;
        optional += entry.second.optionalInBaseline ? 1 : 0;
        EXPECT_EQ(entry.second.optionalInBaseline, entry.second.persist && entry.second.index >= 15)
            << entry.first;
    }
    EXPECT_EQ(persisted, 9);
    EXPECT_EQ(optional, 3);
    // A table made from the prototype has its columns and no rows.
    EXPECT_EQ(newer.columns().size(), static_cast<size_t>(C::count));
    EXPECT_EQ(newer.rowCount(), 0u);
}

TEST_F(ServiceTableTest, AddRowWithExistingKeyReplacesIt) {
    newer.addRow(serviceRow("Spooler"));
    TableRow changed = serviceRow("Spooler");
    stop(changed);
    newer.addRow(changed);
    ASSERT_EQ(newer.rowCount(), 1u);
    TableRow stored;
    ASSERT_TRUE(newer.findRow({SharedText("Spooler")}, stored));
    EXPECT_EQ(stored.cell(C::status).text.str(), "-");
    newer.removeRow({SharedText("Spooler")});
    EXPECT_EQ(newer.rowCount(), 0u);
}

TEST_F(ServiceTableTest, KeysOrderByteWiseWithCaseAndPrefixes) {
    for (const char* name : {"abc", "ab", "aBc", "b", "ABC", "\xE4x", "a"}) {
        newer.addRow(serviceRow(name));
    }
    // Upper case before lower case, a prefix before its extensions, and
    // bytes above 127 after ASCII (compared unsigned).
    EXPECT_EQ(namesOf(newer),
              (std::vector<std::string>{"ABC", "a", "aBc", "ab", "abc", "b", "\xE4x"}));
}

TEST_F(ServiceTableTest, DiffHoldsAddedChangedAndRemovedRows) {
    older.addRow(serviceRow("Same"));
    older.addRow(serviceRow("Changed"));
    older.addRow(serviceRow("Gone"));
    newer.addRow(serviceRow("Same"));
    TableRow changed = serviceRow("Changed");
    stop(changed);
    newer.addRow(changed);
    newer.addRow(serviceRow("Added"));

    const ServiceTable difference = ServiceTable::diff(newer, older);
    EXPECT_EQ(namesOf(difference), (std::vector<std::string>{"Added", "Changed", "Gone"}));
    EXPECT_EQ(markOf(difference, "Added"), RowMark::present);
    EXPECT_EQ(markOf(difference, "Changed"), RowMark::present);
    EXPECT_EQ(markOf(difference, "Gone"), RowMark::removed);
    EXPECT_EQ(difference.columns().size(), static_cast<size_t>(C::count));
}

TEST_F(ServiceTableTest, DiffOfEqualOrEmptyTables) {
    for (const char* name : {"a", "b", "c"}) {
        newer.addRow(serviceRow(name));
        older.addRow(serviceRow(name));
    }
    EXPECT_EQ(ServiceTable::diff(newer, older).rowCount(), 0u);
    EXPECT_EQ(ServiceTable::diff(newer, newer).rowCount(), 0u);

    const ServiceTable empty = C::newTable();
    const ServiceTable allNew = ServiceTable::diff(newer, empty);
    EXPECT_EQ(allNew.rowCount(), 3u);
    EXPECT_EQ(markOf(allNew, "b"), RowMark::present);
    const ServiceTable allGone = ServiceTable::diff(empty, older);
    EXPECT_EQ(allGone.rowCount(), 3u);
    EXPECT_EQ(markOf(allGone, "c"), RowMark::removed);
}

TEST_F(ServiceTableTest, UnpersistedChangeIsInDiffButMasksToZero) {
    older.addRow(serviceRow("Svc"));
    TableRow later = serviceRow("Svc");
    later.cells[C::time] = TableCell(SharedText("02.02.2026 03:04:05"));
    later.cells[C::pid] = TableCell::integer(99);
    newer.addRow(later);

    ServiceTable difference = ServiceTable::diff(newer, older);
    ASSERT_EQ(difference.rowCount(), 1u);
    TableRow marked;
    ASSERT_TRUE(difference.findRow({SharedText("Svc")}, marked));
    markAgainstBaseline(marked, older);
    EXPECT_EQ(marked.cell(C::changed).text.str(), "");
    EXPECT_EQ(marked.cell(C::changed).intValue(), 0);
}

TEST_F(ServiceTableTest, StoppedServiceMasks6160) {
    const TableRow running = serviceRow("Svc");
    TableRow stopped = running;
    stop(stopped);
    EXPECT_EQ(ServiceTable::changeMask(stopped, running, C::prototype().columns()), 6160);

    older.addRow(running);
    markAgainstBaseline(stopped, older);
    EXPECT_EQ(stopped.cell(C::changed).text.str(), "6160");
    EXPECT_EQ(stopped.cell(C::changed).intValue(), 6160);
}

TEST_F(ServiceTableTest, ServiceMissingFromBaselineIsMarkedNew) {
    older.addRow(serviceRow("Other"));
    newer.addRow(serviceRow("Fresh"));
    newer.addRow(serviceRow("Other"));
    ServiceTable difference = ServiceTable::diff(newer, C::newTable());

    TableRow fresh, other;
    ASSERT_TRUE(difference.findRow({SharedText("Fresh")}, fresh));
    ASSERT_TRUE(difference.findRow({SharedText("Other")}, other));
    markAgainstBaseline(fresh, older);
    markAgainstBaseline(other, older);
    EXPECT_EQ(fresh.cell(C::changed).text.str(), "-1");
    EXPECT_EQ(fresh.cell(C::changed).intValue(), changeMaskNew);
    EXPECT_EQ(ServiceEntry::fromRow(fresh).changed, changeMaskNew);
    EXPECT_TRUE(other.cell(C::changed).text.empty());
}

TEST_F(ServiceTableTest, CopiesShareTextBuffers) {
    newer.addRow(serviceRow("Svc"));
    ServiceTable copy = C::newTable();
    copy.assign(newer);
    TableRow original, copied;
    ASSERT_TRUE(newer.findRow({SharedText("Svc")}, original));
    ASSERT_TRUE(copy.findRow({SharedText("Svc")}, copied));
    for (int i = 0; i < C::count; ++i) {
        if (!original.cell(i).text.empty()) {
            EXPECT_TRUE(copied.cell(i).text.sharesBufferWith(original.cell(i).text)) << i;
        }
    }
    // The copy outlives the source's rows.
    newer.removeAllRows();
    ASSERT_TRUE(copy.findRow({SharedText("Svc")}, copied));
    EXPECT_EQ(copied.cell(C::displayName).text.str(), "Display Svc");
}

TEST_F(ServiceTableTest, ShortRowsReadAsEmptyCells) {
    // A row from a stored table may lack columns; nothing reads past it.
    TableRow shortRow;
    shortRow.cells.push_back(TableCell(SharedText("Svc")));
    newer.addRow(shortRow);
    older.addRow(serviceRow("Svc"));
    const ServiceEntry entry = ServiceEntry::fromRow(shortRow);
    EXPECT_EQ(entry.serviceName.str(), "Svc");
    EXPECT_TRUE(entry.displayName.empty());
    EXPECT_EQ(entry.iconIndex, -1);
    ServiceTable difference = ServiceTable::diff(newer, older);
    TableRow marked;
    ASSERT_TRUE(difference.findRow({SharedText("Svc")}, marked));
    markAgainstBaseline(marked, older);
    EXPECT_NE(marked.cell(C::changed).intValue(), 0);
}

TEST(TableCellTest, NumbersAndTheirTexts) {
    EXPECT_EQ(TableCell::integer(-42).text.str(), "-42");
    EXPECT_EQ(TableCell::real(1.5).text.str(), "1.500000");
    EXPECT_EQ(TableCell::fromText(SharedText("12abc"), ColumnType::Integer).intValue(), 12);
    EXPECT_EQ(TableCell::fromText(SharedText("99999999999"), ColumnType::Integer).intValue(),
              INT32_MAX);
    EXPECT_DOUBLE_EQ(TableCell::fromText(SharedText("2.25"), ColumnType::Real).realValue(), 2.25);
    EXPECT_EQ(TableCell::fromText(SharedText("7"), ColumnType::Text).intValue(), 0);
    EXPECT_EQ(TableCell().realValue(), 0.0);
}

TEST(SharedTextTest, AssignmentToItselfKeepsTheTextAndItsCount) {
    SharedText text("Spooler");
    const SharedText copy = text;
    SharedText& same = text; // x = x, as a loop over cells may do
    text = same;
    EXPECT_EQ(text.str(), "Spooler");
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
    }
    EXPECT_EQ(kept[1234].str(), "text 1234");
    EXPECT_EQ(kept.back().size(), 5000u);
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
