#pragma once
// The semicolon-separated form of the export: a header line, one line per
// row, every field followed by ";", lines ended by LF, bytes as they are.
#include "export/ExportSheet.h"

#include <ostream>
#include <string>

namespace kelvane {

// A field holding ";", a double quote, CR or LF goes between double quotes
// with inner quotes doubled, so that CSV readers get the text back.
void writeCsvField(std::ostream& out, const std::string& text);
void writeCsv(std::ostream& out, const ExportSheet& sheet);

// Creates the file anew; false when it could not be created or written.
bool writeCsvFile(const ExportSheet& sheet, const std::string& fileName);

} // namespace kelvane
