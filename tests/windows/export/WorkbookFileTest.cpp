// Workbooks written through the platform's structured storage, read back by
// programs we did not write: olefile (strict) and xlrd (strict sheet
// positions and SST). The cell formats are pinned natively (CellFormatsTest).
#include "tests/windows/support/HostChecker.h"
#include "tests/windows/support/TestPaths.h"

#include "export/ExportSheet.h"
#include "export/Workbook.h"

#include <gtest/gtest.h>

#include <random>

using namespace kelvane;
using namespace kelvane::test;

namespace {

const char* kChecker = R"(
import os, sys, traceback, olefile, xlrd
xls, expected_path, result = sys.argv[1:4]
def check():
    text = open(expected_path, encoding='cp1252', newline='').read()
    expected = [row.split('\x1f') for row in text.split('\x1e')]
    streams = olefile.OleFileIO(xls, raise_defects=olefile.DEFECT_INCORRECT).listdir()
    book = xlrd.open_workbook(xls)
    got = [book.sheet_by_index(0).row_values(r) for r in range(book.sheet_by_index(0).nrows)]
    if streams != [['Workbook']] or book.nsheets != 1 or got != expected:
        return 'streams %r, %d sheets, %d rows of %d' % (streams, book.nsheets, len(got), len(expected))
    return 'OK'
try:
    verdict = check()
except Exception:
    verdict = traceback.format_exc()
open(result + '.tmp', 'w').write(verdict)
os.replace(result + '.tmp', result)
)";

} // namespace

// Wine's structured storage holds the stream; ANSI texts of every kind, some
// past a record's end, read back equal.
TEST(WorkbookFileTest, TextsOfEveryKindReadBackThroughTheCompoundDocument) {
    std::mt19937 random(11);
    const char* pieces[] = {";", "\"",  "M\xFCller", "\x80",     "\r\n", "C:\\Windows\\x.exe -k",
                            "",  "svc", " ",         "\xE9t\xE9"};
    ExportSheet sheet;
    // What a reader should see, in the ANSI code page: cells parted by 0x1F,
    // rows by 0x1E.
    std::string expected;
    for (size_t c = 0; c < 17; ++c) {
        sheet.columns.push_back({"Spalte \xC4" + std::to_string(c), u"General", 0});
        expected += (c ? "\x1F" : "") + sheet.columns[c].header;
    }
    for (int r = 0; r < 800; ++r) {
        std::vector<std::string> cells;
        for (int c = 0; c < 17; ++c) {
            std::string text;
            for (int k = random() % 6; k > 0; --k) {
                text += pieces[random() % 10];
            }
            if (r % 97 == 0 && c == 3) {
                text += std::string(5000 + r, 'L');
            }
            expected += (c ? "\x1F" : "\x1E") + text;
            cells.push_back(text);
        }
        sheet.rows.push_back(cells);
    }
    const std::string xls = scratchPath("workbook.xls");
    const std::string cells = scratchPath("workbook.txt");
    ASSERT_TRUE(writeWorkbook(sheet, xls));
    writeBytes(cells, expected);
    EXPECT_EQ(runHostChecker(kChecker, {unixPath(xls), unixPath(cells)}), "OK");
    DeleteFileA(xls.c_str());
    DeleteFileA(cells.c_str());
}
