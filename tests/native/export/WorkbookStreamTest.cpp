// The layout of the "Workbook" stream: sheet positions, row blocks, DBCELL and
// INDEX offsets and DIMENSIONS, checked by walking the bytes.
#include "export/ExportSheet.h"
#include "export/Workbook.h"
#include "tests/native/export/BiffWalk.h"

#include <gtest/gtest.h>

#include <unordered_map>

using namespace kelvane;
using namespace biffwalk;

namespace {

ExportSheet exportSheet(size_t rows, size_t columns = 3) {
    ExportSheet sheet;
    for (size_t c = 0; c < columns; ++c) {
        sheet.columns.push_back({"H" + std::to_string(c), u"General", 0});
    }
    for (size_t r = 0; r < rows; ++r) {
        std::vector<std::string> cells;
        for (size_t c = 0; c < columns; ++c) {
            cells.push_back(
                c == 1 && r % 3 == 0 ? "" : "r" + std::to_string(r) + "c" + std::to_string(c));
        }
        sheet.rows.push_back(cells);
    }
    return sheet;
}

// Every structural offset of every sheet must point where BIFF8 says.
void checkLayout(const std::vector<uint8_t>& stream) {
    auto all = records(stream);
    std::unordered_map<size_t, size_t> at;
    for (size_t i = 0; i < all.size(); ++i) {
        at[all[i].position] = i;
    }
    auto recordAt = [&](size_t position) {
        auto found = at.find(position);
        return found == at.end() ? all.end() : all.begin() + found->second;
    };
    auto boundSheets = ofType(all, 0x0085);
    ASSERT_FALSE(boundSheets.empty());
    for (const auto& boundSheet : boundSheets) {
        size_t bof = u32(boundSheet.data, 0);
        auto start = recordAt(bof);
        ASSERT_NE(start, all.end()) << "no record at the sheet position " << bof;
        ASSERT_EQ(start->type, 0x0809);
        EXPECT_EQ(u16(start->data, 2), 0x0010u);
        ASSERT_EQ((start + 1)->type, 0x020B);
        const auto& index = (start + 1)->data;
        std::vector<size_t> dbCellPositions;
        for (auto r = start + 2; r != all.end() && r->type != 0x000A; ++r) {
            if (r->type == 0x00D7) {
                dbCellPositions.push_back(r->position);
            }
        }
        ASSERT_EQ(index.size(), 16 + 4 * dbCellPositions.size());
        for (size_t i = 0; i < dbCellPositions.size(); ++i) {
            EXPECT_EQ(u32(index, 16 + 4 * i), dbCellPositions[i]);
        }
        for (size_t position : dbCellPositions) {
            auto db = recordAt(position);
            size_t firstRow = position - u32(db->data, 0);
            auto row = recordAt(firstRow);
            ASSERT_NE(row, all.end());
            ASSERT_EQ(row->type, 0x0208) << "DBCELL at " << position;
            size_t rows = (db->data.size() - 4) / 2;
            size_t cellAt = firstRow + 20 + u16(db->data, 4);
            for (size_t i = 0; i < rows; ++i) {
                if (i > 0) {
                    cellAt += u16(db->data, 4 + 2 * i);
                }
                auto cell = recordAt(cellAt);
                ASSERT_NE(cell, all.end());
                EXPECT_EQ(u16(cell->data, 0), u16((row + i)->data, 0)) << "row offset " << i;
                EXPECT_EQ(u16(cell->data, 2), 0u);
            }
        }
    }
}

} // namespace

TEST(WorkbookStream, ThirtyThreeRowsGiveTwoBlocks) {
    Workbook workbook;
    fillWorkbook(workbook, exportSheet(32));
    auto stream = workbook.buildStream();
    auto all = records(stream);
    auto dbCells = ofType(all, 0x00D7);
    ASSERT_EQ(dbCells.size(), 2u);
    EXPECT_EQ(ofType(all, 0x0208).size(), 33u) << "one ROW record per row";
    EXPECT_EQ(ofType(all, 0x0200).at(0).data,
              (std::vector<uint8_t>{0, 0, 0, 0, 33, 0, 0, 0, 0, 0, 3, 0, 0, 0}));
    checkLayout(stream);
}

TEST(WorkbookStream, FurtherSheetsHaveTheirOwnPositionsAndNames) {
    Workbook workbook(3);
    ASSERT_EQ(workbook.sheetCount(), 3u);
    EXPECT_EQ(workbook.sheet(1).name() + workbook.sheet(2).name() + workbook.addSheet().name(),
              "Sheet2Sheet3Sheet4");
    for (size_t s = 0; s < 4; ++s) {
        for (long r = 0; r < static_cast<long>(s * 20); ++r) {
            workbook.sheet(s).setText(r, 0, std::string_view("s"));
        }
    }
    const auto stream = workbook.buildStream();
    EXPECT_EQ(u16(ofType(records(stream), 0x023E).at(1).data, 0), 0x04B6u)
        << "only the first sheet is selected";
    checkLayout(stream);
}

TEST(WorkbookStream, MoreRowsThanASheetHoldsGoOnFurtherSheets) {
    auto source = exportSheet(exportRowsPerSheet + 2, 1);
    Workbook workbook;
    fillWorkbook(workbook, source);
    ASSERT_EQ(workbook.sheetCount(), 2u);
    EXPECT_EQ(workbook.sheet(0).rowCount(), 65536u);
    EXPECT_FALSE(workbook.sheet(0).setText(65536, 0, std::string_view("x")));
    const Sheet& second = workbook.sheet(1);
    ASSERT_EQ(second.rowCount(), 3u);
    EXPECT_EQ(second.text(*second.find(0, 0)), u"H0");
    EXPECT_EQ(second.text(*second.find(2, 0)), u"r65536c0");
    EXPECT_EQ(second.find(2, 0)->xf, workbook.sheet(0).find(1, 0)->xf);
    checkLayout(workbook.buildStream());
}
