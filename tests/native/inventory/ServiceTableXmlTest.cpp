// The stored form of a service table, as the settings file keeps the
// last-known state between runs.
#include "inventory/ServiceTableXml.h"
#include "tests/native/inventory/TestRows.h"

#include "xml/XmlDocument.h"
#include "xml/XmlStreamWriter.h"

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::test;
using C = ServiceColumns;

namespace {

TableRow storedRow(const std::string& name) {
    TableRow row = serviceRow(name);
    row.cells[C::displayName] = TableCell(SharedText("D\xE4 & <" + name + ">"));
    row.cells[C::time] = TableCell(SharedText("01.02.2026 03:04:05"));
    row.cells[C::description] = TableCell(SharedText("not stored"));
    row.cells[C::neededBy] = TableCell(SharedText("not stored"));
    row.cells[C::loadOrderGroup] = TableCell(SharedText("not stored"));
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

TEST(ServiceTableXml, PersistedCellsAreWrittenTheLaterOnesEvenWhenEmpty) {
    const ServiceTable table = tableOf({storedRow("a")});
    // The columns that older baselines lack are stored even when empty.
    EXPECT_EQ(written(table),
              "<last-entries><row account=\"LocalSystem\" active=\"1\" command=\"C:\\svc\\a.exe "
              "-k\" dependencies=\"\" displayName=\"D\xC3\xA4 &amp; &lt;a&gt;\" onFailure=\"\" "
              "serviceName=\"a\" start=\"t139\" startOptions=\"\" status=\"t134\" type=\"16\" "
              "typeImage=\"5\"/></last-entries>\n");
}

TEST(ServiceTableXml, NumbersAreNormalisedAndOtherElementsIgnored) {
    const ServiceTable read = readBack("<last-entries><row serviceName='s' type='0016x' "
                                       "active='99999999999' start='007'/><other serviceName='o'/>"
                                       "<row displayName='no name'/></last-entries>");
    EXPECT_EQ(read.rowCount(), 2u);
    EXPECT_EQ(cellsOf(rowIn(read, "s"), {C::type, C::active, C::start}), "16|2147483647|007|")
        << "start is a text column";
    EXPECT_EQ(rowIn(read, "").cell(C::displayName).text.str(), "no name");
}

TEST(ServiceTableXml, LaterColumnsMarkOnlyAgainstRowsThatStoredThem) {
    TableRow now = storedRow("svc");
    now.cells[C::dependencies] = TableCell(SharedText("RpcSs"));
    now.cells[C::startOptions] = TableCell(SharedText("delayed"));
    now.cells[C::onFailure] = TableCell(SharedText("restart after 1 min"));

    // Written before these columns existed: nothing to compare them with.
    const std::string older = written(tableOf({storedRow("svc")}));
    std::string withoutThem = older;
    for (const char* name : {" dependencies=\"\"", " onFailure=\"\"", " startOptions=\"\""}) {
        withoutThem.erase(withoutThem.find(name), std::string(name).size());
    }
    markAgainstBaseline(now, readBack(withoutThem));
    EXPECT_EQ(now.cell(C::changed).intValue(), 0);
    // A column every baseline has counts even when a row lacks it.
    std::string withoutStatus = older;
    withoutStatus.erase(withoutStatus.find(" status="), std::string(" status=\"t134\"").size());
    TableRow running = storedRow("svc");
    markAgainstBaseline(running, readBack(withoutStatus));
    EXPECT_EQ(running.cell(C::changed).intValue(), 1 << C::status);

    // Written now, when the service had none: an empty attribute that
    // counts, so what was added since marks the service.
    markAgainstBaseline(now, readBack(older));
    EXPECT_EQ(now.cell(C::changed).intValue(),
              (1 << C::dependencies) | (1 << C::startOptions) | (1 << C::onFailure));
}
