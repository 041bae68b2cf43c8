#include "inventory/ServiceColumns.h"
#include "inventory/ServiceTableXml.h"

#include "framework/Exception.h"
#include "xml/XmlDocument.h"
#include "xml/XmlStreamWriter.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

using C = ServiceColumns;

TableRow storedRow(const std::string& name) {
    TableRow row;
    row.cells.resize(C::count);
    row.cells[C::serviceName] = TableCell(SharedText(name));
    row.cells[C::displayName] = TableCell(SharedText("D\xE4 & <" + name + ">"));
    row.cells[C::status] = TableCell(SharedText("started"));
    row.cells[C::pid] = TableCell::integer(1234); // not persisted
    row.cells[C::type] = TableCell::integer(16);
    row.cells[C::time] = TableCell(SharedText("01.02.2026 03:04:05")); // not persisted
    return row;
}

std::string written(const ServiceTable& table) {
    std::string out;
    XmlFormat format;
    format.prettyMode = 0;
    XmlStreamWriter writer(std::make_unique<XmlStringOutput>(out), format);
    writer.createElement("last-entries");
    writeXml(table, writer);
    writer.back();
    writer.close();
    return out;
}

ServiceTable readBack(const std::string& text) {
    XmlDocument document;
    EXPECT_TRUE(document.readBytes("<?xml version=\"1.0\" encoding=\"utf-8\"?>" + text, "t"));
    ServiceTable table = C::newTable();
    readXml(table, *document.element("last-entries"));
    return table;
}

} // namespace

TEST(ServiceTableXml, PersistedNonEmptyCellsInNameOrder) {
    ServiceTable table = C::newTable();
    table.addRow(storedRow("b"));
    table.addRow(storedRow("a"));
    // The columns that older baselines lack are stored even when empty.
    EXPECT_EQ(written(table), "<last-entries>"
                              "<row dependencies=\"\" displayName=\"D\xC3\xA4 &amp; &lt;a&gt;\" "
                              "onFailure=\"\" serviceName=\"a\" startOptions=\"\" "
                              "status=\"started\" type=\"16\"/>"
                              "<row dependencies=\"\" displayName=\"D\xC3\xA4 &amp; &lt;b&gt;\" "
                              "onFailure=\"\" serviceName=\"b\" startOptions=\"\" "
                              "status=\"started\" type=\"16\"/>"
                              "</last-entries>\n");
}

TEST(ServiceTableXml, RowsReadBackWithTheirPersistedCells) {
    ServiceTable table = C::newTable();
    table.addRow(storedRow("svc"));
    const ServiceTable read = readBack(written(table));
    TableRow row;
    ASSERT_TRUE(read.findRow({SharedText("svc")}, row));
    EXPECT_EQ(row.cell(C::displayName).text, SharedText("D\xE4 & <svc>"));
    EXPECT_EQ(row.cell(C::type).intValue(), 16);
    EXPECT_TRUE(row.cell(C::pid).text.empty());
    EXPECT_EQ(ServiceTable::changeMask(row, storedRow("svc"), read.columns()), 0);
}

TEST(ServiceTableXml, NumbersAreNormalisedAndOtherElementsIgnored) {
    const ServiceTable read = readBack("<last-entries><row serviceName='s' type='0016x' "
                                       "active='' start='007'/><other serviceName='o'/>"
                                       "<row displayName='no name'/></last-entries>");
    EXPECT_EQ(read.rowCount(), 2u);
    TableRow row;
    ASSERT_TRUE(read.findRow({SharedText("s")}, row));
    EXPECT_EQ(row.cell(C::type).text, SharedText("16"));
    EXPECT_EQ(row.cell(C::active).text, SharedText("0"));
    EXPECT_EQ(row.cell(C::start).text, SharedText("007")); // a Text column
    ASSERT_TRUE(read.findRow({SharedText()}, row));
    EXPECT_EQ(row.cell(C::displayName).text, SharedText("no name"));
}

TEST(ServiceTableXml, UnknownColumnStopsTheLoadKeepingEarlierRows) {
    XmlDocument document;
    ASSERT_TRUE(document.readBytes("<e><row serviceName='a'/><row serviceName='b' colour='x'/>"
                                   "<row serviceName='c'/></e>",
                                   "t"));
    ServiceTable table = C::newTable();
    try {
        readXml(table, *document.element("e"));
        FAIL() << "no exception";
    } catch (const Plinth::UserException& e) {
        EXPECT_EQ(e.getMessage(), "column not found");
    }
    EXPECT_EQ(table.rowCount(), 1u);
    EXPECT_FALSE(table.findColumn("colour"));
}

TEST(ServiceTableXml, LaterColumnsMarkOnlyAgainstRowsThatStoredThem) {
    TableRow now = storedRow("svc");
    now.cells[C::dependencies] = TableCell(SharedText("RpcSs"));
    now.cells[C::startOptions] = TableCell(SharedText("delayed"));
    now.cells[C::onFailure] = TableCell(SharedText("restart after 1 min"));

    // Written before these columns existed: nothing to compare them with.
    const ServiceTable old =
        readBack("<last-entries><row displayName='D\xC3\xA4 &amp; &lt;svc&gt;' "
                 "serviceName='svc' status='started' type='16'/>"
                 "</last-entries>");
    markAgainstBaseline(now, old);
    EXPECT_EQ(now.cell(C::changed).intValue(), 0);

    // Written now, when the service had none: an empty attribute that
    // counts, so a dependency added since marks the service.
    ServiceTable before = C::newTable();
    before.addRow(storedRow("svc"));
    const std::string stored = written(before);
    EXPECT_NE(stored.find("dependencies=\"\""), std::string::npos) << stored;
    markAgainstBaseline(now, readBack(stored));
    EXPECT_EQ(now.cell(C::changed).intValue(),
              (1 << C::dependencies) | (1 << C::startOptions) | (1 << C::onFailure));
}
