// The rows and format choice of the export command.
#include "export/ServiceExport.h"
#include "inventory/RowBuilder.h"
#include "inventory/ServiceColumns.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

std::string texts(unsigned id) {
    return id == 180 ? "new" : id == 181 ? "changed" : "h" + std::to_string(id);
}

ServiceTable tableOf(const std::vector<EnumeratedService>& services) {
    const RowTexts rowTexts = RowTexts::load(texts);
    ServiceTable table = ServiceColumns::newTable();
    for (const EnumeratedService& s : services) {
        const std::string& name = s.serviceName;
        table.addRow(buildServiceRow(rowTexts, s,
                                     ServiceConfiguration{3,
                                                          "LocalSystem",
                                                          name + ".exe -a;b",
                                                          "C:\\bin\\" + name + ".exe",
                                                          {name + ".dll", "+Group"}},
                                     ""));
    }
    return table;
}

std::string cells(const std::vector<std::string>& row, std::initializer_list<int> columns) {
    std::string joined;
    for (int column : columns) {
        joined += row.at(column) + "|";
    }
    return joined;
}

} // namespace

TEST(ServiceExportTest, FiltersByTypeAndStateOnlyAndFillsDetailsAndMarks) {
    const ServiceTable baseline =
        tableOf({{"same", "same", 0x10, 1, 0}, {"moved", "moved", 0x10, 4, 0}});
    ServiceEntries entries;
    NullEntrySink sink;
    entries.applyDifference(tableOf({{"same", "same", 0x10, 1, 0},
                                     {"moved", "moved", 0x10, 1, 0},
                                     {"fresh", "fresh", 0x10, 1, 0},
                                     {"driver", "driver", 0x01, 4, 0}}),
                            &baseline, sink);
    FileDetails details;
    details.version = "1.2.3.4";
    details.manufacturer = "Maker";

    ExportSheet sheet;
    sheet.columns = exportColumns(texts);
    ASSERT_EQ(sheet.columns.size(), 22u);
    std::lock_guard<ServiceEntries::Mutex> guard(entries.mutex());
    appendExportRows(
        sheet, entries.entries(), 0x30, 3,
        [&](const std::string& path) { return path == "C:\\bin\\same.exe" ? &details : nullptr; },
        texts);

    ASSERT_EQ(sheet.rows.size(), 3u) << "the driver fails the services-only type mask";
    // Entries come in the order of their numbers, which follows the key order.
    EXPECT_EQ(cells(sheet.rows[0], {0, 16, 10, 11, 12, 13, 14, 15}), "fresh|new|||||||");
    EXPECT_EQ(cells(sheet.rows[1], {0, 16}), "moved|changed|");
    EXPECT_EQ(cells(sheet.rows[2], {0, 16, 11, 13, 18}), "same||1.2.3.4|Maker|same.dll, +Group|");
}

TEST(ServiceExportTest, FormatFollowsTheLastThreeLetters) {
    for (const char* name : {"C:\\out\\Services.xls", "REPORT.XLS", "reportxls"}) {
        EXPECT_TRUE(isWorkbookFileName(name)) << name;
    }
    for (const char* name : {"xls", "list.csv", "list.xlsx", "list.txt"}) {
        EXPECT_FALSE(isWorkbookFileName(name)) << name;
    }
}
