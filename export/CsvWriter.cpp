#include "export/CsvWriter.h"

#include <fstream>

namespace kelvane {

void writeCsvField(std::ostream& out, const std::string& text) {
    if (text.find_first_of(";\"\r\n") == std::string::npos) {
        out << text << ';';
        return;
    }
    out << '"';
    for (char c : text) {
        if (c == '"') {
            out << '"';
        }
        out << c;
    }
    out << "\";";
}

void writeCsv(std::ostream& out, const ExportSheet& sheet) {
    for (const auto& column : sheet.columns) {
        writeCsvField(out, column.header);
    }
    out << '\n';
    for (const auto& row : sheet.rows) {
        for (size_t c = 0; c < sheet.columns.size(); ++c) {
            writeCsvField(out, c < row.size() ? row[c] : std::string());
        }
        out << '\n';
    }
}

bool writeCsvFile(const ExportSheet& sheet, const std::string& fileName) {
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    if (!out) {
        return false;
    }
    writeCsv(out, sheet);
    out.flush();
    return static_cast<bool>(out);
}

} // namespace kelvane
