// The rows and format choice of the export command.
#include "export/CsvWriter.h"
#include "export/ServiceExport.h"
#include "inventory/RowBuilder.h"
#include "inventory/ServiceColumns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

using namespace kelvane;

namespace {

std::string texts(unsigned id) {
    return id == 180 ? "new" : id == 181 ? "changed" : "h" + std::to_string(id);
}

// Entries as a refresh against a baseline leaves them.
void fillEntries(ServiceEntries& entries, const std::vector<EnumeratedService>& services,
                 const ServiceTable& baseline) {
    RowTexts rowTexts = RowTexts::load(texts);
    ServiceTable table = ServiceColumns::newTable();
    for (const EnumeratedService& s : services) {
        table.addRow(buildServiceRow(rowTexts, s,
                                     ServiceConfiguration{3,
                                                          "LocalSystem",
                                                          s.serviceName + ".exe -a;b",
                                                          "C:\\bin\\" + s.serviceName + ".exe",
                                                          {s.serviceName + ".dll", "+Group"}},
                                     ""));
    }
    NullEntrySink sink;
    entries.applyDifference(ServiceTable::diff(table, ServiceColumns::newTable()), &baseline, sink);
}

} // namespace

TEST(ServiceExportTest, FiltersByTypeAndStateOnlyAndFillsDetailsAndMarks) {
    ServiceTable baseline = ServiceColumns::newTable();
    RowTexts rowTexts = RowTexts::load(texts);
    baseline.addRow(buildServiceRow(
        rowTexts, {"same", "same", 0x10, 1, 0},
        ServiceConfiguration{
            3, "LocalSystem", "same.exe -a;b", "C:\\bin\\same.exe", {"same.dll", "+Group"}},
        ""));
    baseline.addRow(buildServiceRow(rowTexts, {"moved", "moved", 0x10, 4, 0},
                                    ServiceConfiguration{3, "LocalSystem", "moved.exe -a;b", ""},
                                    ""));
    ServiceEntries entries;
    fillEntries(entries,
                {{"same", "same", 0x10, 1, 0},
                 {"moved", "moved", 0x10, 1, 0},
                 {"fresh", "fresh", 0x10, 1, 0},
                 {"driver", "driver", 0x01, 4, 0}},
                baseline);
    FileDetails details;
    details.version = "1.2.3.4";
    details.manufacturer = "Maker";

    ExportSheet sheet;
    sheet.columns = exportColumns(texts);
    ASSERT_EQ(sheet.columns.size(), 22u);
    EXPECT_EQ(sheet.columns[16].header, "h131") << "the seventeen keep their places";
    for (unsigned later = 0; later < 5; ++later) {
        EXPECT_EQ(sheet.columns[17 + later].header, "h" + std::to_string(240 + later));
    }
    EXPECT_EQ(sheet.columns[5].alignment, 3);
    EXPECT_EQ(sheet.columns[9].numberFormat, u"M/D/YY h:mm");
    std::lock_guard<ServiceEntries::Mutex> guard(entries.mutex());
    appendExportRows(
        sheet, entries.entries(), 0x30, 3,
        [&](const std::string& path) { return path == "C:\\bin\\same.exe" ? &details : nullptr; },
        texts);

    ASSERT_EQ(sheet.rows.size(), 3u) << "the driver fails the services-only type mask";
    // Entries come in the order of their numbers, which follows the key order.
    EXPECT_EQ(sheet.rows[0][0], "fresh");
    EXPECT_EQ(sheet.rows[0][16], "new");
    EXPECT_EQ(sheet.rows[1][0], "moved");
    EXPECT_EQ(sheet.rows[1][16], "changed");
    EXPECT_EQ(sheet.rows[2][0], "same");
    EXPECT_EQ(sheet.rows[2][16], "");
    EXPECT_EQ(sheet.rows[2][11], "1.2.3.4");
    EXPECT_EQ(sheet.rows[2][13], "Maker");
    EXPECT_EQ(sheet.rows[2][18], "same.dll, +Group") << "Depends on";
    for (int column = 10; column <= 15; ++column) {
        EXPECT_EQ(sheet.rows[0][column], "") << "no details, six empty fields";
    }

    std::ostringstream csv;
    writeCsv(csv, sheet);
    EXPECT_NE(csv.str().find(";\"fresh.exe -a;b\";"), std::string::npos) << csv.str();
}

TEST(ServiceExportTest, AnEmptyListGivesTheHeaderAlone) {
    ExportSheet sheet;
    sheet.columns = exportColumns(texts);
    ServiceEntries none;
    appendExportRows(sheet, none.entries(), 0xFF, 3, nullptr, texts);
    std::ostringstream csv;
    writeCsv(csv, sheet);
    const std::string text = csv.str();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
}

TEST(ServiceExportTest, FormatFollowsTheLastThreeLetters) {
    EXPECT_TRUE(isWorkbookFileName("C:\\out\\Services.xls"));
    EXPECT_TRUE(isWorkbookFileName("REPORT.XLS"));
    EXPECT_TRUE(isWorkbookFileName("reportxls"));
    EXPECT_FALSE(isWorkbookFileName("xls"));
    EXPECT_FALSE(isWorkbookFileName("list.csv"));
    EXPECT_FALSE(isWorkbookFileName("list.xlsx"));
    EXPECT_FALSE(isWorkbookFileName("list.txt"));
}
