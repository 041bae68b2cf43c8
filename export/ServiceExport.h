#pragma once
// What the export writes: the columns of the service list (the seventeen,
// then the later ones) and one row per entry that passes the type and state
// filter, and which of the two formats a chosen file name asks for.
#include "export/ExportSheet.h"
#include "inventory/FileDetails.h"
#include "inventory/ServiceEntries.h"

#include <functional>
#include <string>

namespace kelvane {

// The column list with headers from the string table.
std::vector<ExportColumn> exportColumns(const std::function<std::string(unsigned id)>& loadString);

// Rows for the entries in the order of their numbers whose type meets
// typeMask and whose active value meets activeMask; the search text and the
// Microsoft filter do not apply. details gives the image file's details or
// null. The caller holds the lock that guards the entries.
void appendExportRows(
    ExportSheet& sheet, const ServiceEntries::Map& entries, unsigned typeMask, unsigned activeMask,
    const std::function<const FileDetails*(const std::string& binaryPath)>& details,
    const std::function<std::string(unsigned id)>& loadString);

// A workbook when the name ends in "xls" in any letter case after at least
// one other character (the rule ".xls$" of a case-blind regular expression);
// a CSV file otherwise.
bool isWorkbookFileName(const std::string& fileName);

// Writes the sheet in the format the name asks for; false when the file
// could not be written whole.
bool writeExportFile(const ExportSheet& sheet, const std::string& fileName);

} // namespace kelvane
