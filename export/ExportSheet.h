#pragma once
// The export's sheet, apart from the output format: column descriptions and
// rows of cell texts (ANSI code page), and writing it as a workbook.
#include <cstdint>
#include <string>
#include <vector>

namespace kelvane {

class Workbook;

struct ExportColumn {
    std::string header;
    std::u16string numberFormat = u"General";
    uint8_t alignment = 0; // replaces the XF's alignment byte
};

struct ExportSheet {
    std::vector<ExportColumn> columns;
    std::vector<std::vector<std::string>> rows; // one text per column
};

// Data rows per workbook sheet below its header row; further rows go on
// further sheets, each with the header row again.
constexpr size_t exportRowsPerSheet = 65535;

// Fills a new workbook with a bold header row and one text cell per value.
void fillWorkbook(Workbook& workbook, const ExportSheet& sheet);

bool writeWorkbook(const ExportSheet& sheet, const std::string& fileName);

} // namespace kelvane
