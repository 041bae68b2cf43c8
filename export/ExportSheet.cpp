#include "export/ExportSheet.h"
#include "export/AnsiText.h"
#include "export/CellFormats.h"
#include "export/Workbook.h"

#include <algorithm>

namespace kelvane {

void fillWorkbook(Workbook& workbook, const ExportSheet& source) {
    CellFormats formats(workbook);
    FontDescription bold;
    bold.weight = 700;
    CellFormat header;
    header.font = formats.fontIndex(bold);

    std::vector<CellFormat> columnFormats(source.columns.size());
    for (size_t c = 0; c < source.columns.size(); ++c) {
        columnFormats[c].numberFormat = formats.numberFormatIndex(source.columns[c].numberFormat);
        columnFormats[c].alignment = source.columns[c].alignment;
    }

    size_t sheets =
        std::max<size_t>(1, (source.rows.size() + exportRowsPerSheet - 1) / exportRowsPerSheet);
    for (size_t s = 0; s < sheets; ++s) {
        Sheet& sheet = s < workbook.sheetCount() ? workbook.sheet(s) : workbook.addSheet();
        for (size_t c = 0; c < source.columns.size(); ++c) {
            sheet.setText(0, static_cast<long>(c), ansiToUtf16(source.columns[c].header));
            sheet.setXf(0, static_cast<long>(c), formats.xfIndex(header));
        }
        size_t first = s * exportRowsPerSheet;
        size_t end = std::min(source.rows.size(), first + exportRowsPerSheet);
        for (size_t r = first; r < end; ++r) {
            const auto& cells = source.rows[r];
            auto row = static_cast<long>(r - first + 1);
            for (size_t c = 0; c < source.columns.size(); ++c) {
                if (c < cells.size()) {
                    sheet.setText(row, static_cast<long>(c), ansiToUtf16(cells[c]));
                }
                sheet.setXf(row, static_cast<long>(c), formats.xfIndex(columnFormats[c]));
            }
        }
    }
}

bool writeWorkbook(const ExportSheet& sheet, const std::string& fileName) {
    Workbook workbook(1);
    fillWorkbook(workbook, sheet);
    return workbook.save(fileName);
}

} // namespace kelvane
