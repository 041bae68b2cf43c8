// "Needed by" over a table: the other side of every "Depends on", by name
// and by load order group.
#include "inventory/NeededBy.h"
#include "inventory/ServiceColumns.h"

#include <gtest/gtest.h>

using namespace kelvane;
using C = ServiceColumns;

namespace {

void add(ServiceTable& table, const std::string& name, const std::string& dependencies,
         const std::string& group = "") {
    TableRow row;
    row.cells.resize(C::count);
    row.cells[C::serviceName] = TableCell(SharedText(name));
    row.cells[C::dependencies] = TableCell(SharedText(dependencies));
    row.cells[C::loadOrderGroup] = TableCell(SharedText(group));
    table.addRow(row);
}

std::string neededBy(const ServiceTable& table, const std::string& name) {
    TableRow row;
    EXPECT_TRUE(table.findRow({SharedText(name)}, row)) << name;
    return row.cell(C::neededBy).text.str();
}

} // namespace

TEST(NeededByTest, NamesAndGroupsFindTheirDependentsIgnoringCase) {
    ServiceTable table = C::newTable();
    add(table, "Web", "Db, +Network Stack");
    add(table, "Db", "tcpip");
    add(table, "Tcpip", "", "network stack");
    add(table, "Afd", "", "Network Stack");
    add(table, "Mail", "+NETWORK STACK, Tcpip"); // named both ways: listed once
    add(table, "Lone", "Missing");

    EXPECT_TRUE(updateNeededBy(table));
    const std::pair<const char*, const char*> expected[] = {
        {"Db", "Web"}, {"Tcpip", "Db, Mail, Web"}, {"Afd", "Mail, Web"}, {"Web", ""}, {"Mail", ""},
        {"Lone", ""},
    };
    for (const auto& [name, text] : expected) {
        EXPECT_EQ(neededBy(table, name), text) << name;
    }
    EXPECT_FALSE(updateNeededBy(table)) << "nothing changed, no row is replaced";

    add(table, "Db", "");
    EXPECT_TRUE(updateNeededBy(table));
    EXPECT_EQ(neededBy(table, "Tcpip"), "Mail, Web");
}
