#include "export/ServiceExport.h"

#include "export/CsvWriter.h"

#include <cctype>

namespace kelvane {

std::vector<ExportColumn> exportColumns(const std::function<std::string(unsigned id)>& loadString) {
    struct Column {
        unsigned header;
        const char16_t* format;
        uint8_t alignment;
    };
    // The seventeen, then the later columns after them, so that the columns
    // before keep their places.
    static const Column columns[] = {
        {112, u"General", 0},     {111, u"General", 0},     {160, u"General", 0},
        {114, u"General", 0},     {113, u"General", 0},     {161, u"0", 3},
        {115, u"General", 0},     {116, u"General", 0},     {117, u"General", 0},
        {172, u"M/D/YY h:mm", 0}, {173, u"M/D/YY h:mm", 0}, {118, u"General", 0},
        {119, u"General", 0},     {120, u"General", 0},     {121, u"General", 0},
        {122, u"General", 0},     {131, u"General", 0},     {240, u"General", 0},
        {241, u"General", 0},     {242, u"General", 0},     {243, u"General", 0},
        {244, u"General", 0},
    };
    std::vector<ExportColumn> result;
    for (const Column& column : columns) {
        result.push_back({loadString(column.header), column.format, column.alignment});
    }
    return result;
}

void appendExportRows(
    ExportSheet& sheet, const ServiceEntries::Map& entries, unsigned typeMask, unsigned activeMask,
    const std::function<const FileDetails*(const std::string& binaryPath)>& details,
    const std::function<std::string(unsigned id)>& loadString) {
    const std::string newWord = loadString(180), changedWord = loadString(181);
    for (const auto& [number, entry] : entries) {
        if ((static_cast<unsigned>(entry.type) & typeMask) == 0 ||
            (static_cast<unsigned>(entry.active) & activeMask) == 0) {
            continue;
        }
        const FileDetails* file = details ? details(entry.binaryPath.str()) : nullptr;
        auto detail = [&](std::string FileDetails::*field) {
            return file ? file->*field : std::string();
        };
        sheet.rows.push_back({
            entry.serviceName.str(),
            entry.displayName.str(),
            entry.typeText.str(),
            entry.startText.str(),
            entry.statusText.str(),
            entry.pidText.str(),
            entry.account.str(),
            entry.command.str(),
            entry.binaryPath.str(),
            entry.timeText.str(),
            detail(&FileDetails::fileTime),
            detail(&FileDetails::version),
            detail(&FileDetails::language),
            detail(&FileDetails::manufacturer),
            detail(&FileDetails::description),
            detail(&FileDetails::comment),
            entry.changed == changeMaskNew ? newWord
            : entry.changed != 0           ? changedWord
                                           : std::string(),
            entry.description.str(),
            entry.dependencies.str(),
            entry.neededBy.str(),
            entry.startOptions.str(),
            entry.onFailure.str(),
        });
    }
}

bool isWorkbookFileName(const std::string& fileName) {
    if (fileName.size() < 4) {
        return false;
    }
    const char* tail = fileName.c_str() + fileName.size() - 3;
    return std::tolower(static_cast<unsigned char>(tail[0])) == 'x' &&
           std::tolower(static_cast<unsigned char>(tail[1])) == 'l' &&
           std::tolower(static_cast<unsigned char>(tail[2])) == 's';
}

bool writeExportFile(const ExportSheet& sheet, const std::string& fileName) {
    return isWorkbookFileName(fileName) ? writeWorkbook(sheet, fileName)
                                        : writeCsvFile(sheet, fileName);
}

} // namespace kelvane
