// Workbooks written through the platform's structured storage, read back by
// programs we did not write: olefile, xlrd (strict sheet positions and SST)
// and libgsf.
#include "tests/windows/support/HostChecker.h"
#include "tests/windows/support/TestPaths.h"

#include "export/AnsiText.h"
#include "export/CellFormats.h"
#include "export/ExportSheet.h"
#include "export/Workbook.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <random>
#include <sstream>

using namespace kelvane;
using kelvane::test::runHostChecker;
using kelvane::test::unixPath;

namespace {

const char* kChecker = R"(
import json, subprocess, sys, traceback
import olefile, xlrd
xls, expected_path, result = sys.argv[1], sys.argv[2], sys.argv[3]
def check():
    expected = json.load(open(expected_path, encoding='utf-8'))
    ole = olefile.OleFileIO(xls, raise_defects=olefile.DEFECT_INCORRECT)
    if ole.listdir() != [['Workbook']]:
        return 'streams %r' % ole.listdir()
    size = len(ole.openstream('Workbook').read())
    ole.close()
    book = xlrd.open_workbook(xls, formatting_info=True)
    if book.nsheets != len(expected):
        return 'sheets %d' % book.nsheets
    for index, rows in enumerate(expected):
        sheet = book.sheet_by_index(index)
        got = [sheet.row_values(r) for r in range(sheet.nrows)]
        if got != rows:
            bad = next(r for r in range(min(len(got), len(rows))) if got[r] != rows[r]) if len(got) == len(rows) else -1
            return 'sheet %d: %d rows, first difference in row %d: %r' % (index, len(got), bad, got[bad][:4] if bad >= 0 else None)
        header = book.xf_list[sheet.cell_xf_index(0, 0)]
        if book.font_list[header.font_index].weight != 700:
            return 'header not bold'
    listing = subprocess.run(['gsf', 'list', xls], capture_output=True, text=True)
    if listing.returncode != 0 or 'Workbook' not in listing.stdout or str(size) not in listing.stdout:
        return 'gsf: %r %r' % (listing.stdout, listing.stderr)
    return 'OK'
try:
    verdict = check()
except Exception:
    verdict = traceback.format_exc()
open(result + '.tmp', 'w').write(verdict)
import os
os.replace(result + '.tmp', result)
)";

std::string jsonString(const std::u16string& text) {
    std::string out = "\"";
    char buffer[8];
    for (char16_t c : text) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out.push_back(static_cast<char>(c));
        } else {
            std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
            out += buffer;
        }
    }
    return out + "\"";
}

// The sheets a reader should see: the header row, then up to 65,535 rows each.
std::string expectedJson(const ExportSheet& sheet) {
    std::ostringstream out;
    out << "[";
    size_t sheets =
        std::max<size_t>(1, (sheet.rows.size() + exportRowsPerSheet - 1) / exportRowsPerSheet);
    for (size_t s = 0; s < sheets; ++s) {
        out << (s ? "," : "") << "[[";
        for (size_t c = 0; c < sheet.columns.size(); ++c) {
            out << (c ? "," : "") << jsonString(ansiToUtf16(sheet.columns[c].header));
        }
        out << "]";
        for (size_t r = s * exportRowsPerSheet;
             r < std::min(sheet.rows.size(), (s + 1) * exportRowsPerSheet); ++r) {
            out << ",[";
            for (size_t c = 0; c < sheet.columns.size(); ++c) {
                out << (c ? "," : "") << jsonString(ansiToUtf16(sheet.rows[r][c]));
            }
            out << "]";
        }
        out << "]";
    }
    out << "]";
    return out.str();
}

class WorkbookFileTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (const auto& path : created_) {
            DeleteFileA(path.c_str());
        }
    }

    // Writes the sheet as the export does and returns the checker's verdict.
    std::string writeAndCheck(const ExportSheet& sheet, const std::string& name) {
        std::string xls = track(kelvane::test::scratchPath(name + ".xls"));
        std::string expected = track(kelvane::test::scratchPath(name + ".json"));
        if (!writeWorkbook(sheet, xls)) {
            return "writeWorkbook failed";
        }
        kelvane::test::writeBytes(expected, expectedJson(sheet));
        return runHostChecker(kChecker, {unixPath(xls), unixPath(expected)});
    }

    std::string track(const std::string& path) {
        created_.push_back(path);
        return path;
    }

private:
    std::vector<std::string> created_;
};

ExportSheet columns(size_t count) {
    ExportSheet sheet;
    for (size_t c = 0; c < count; ++c) {
        sheet.columns.push_back({"Spalte \xC4" + std::to_string(c), c == 1 ? u"0" : u"General",
                                 uint8_t(c == 1 ? 3 : 0)});
    }
    return sheet;
}

} // namespace

TEST_F(WorkbookFileTest, HeaderOnlyWorkbookReadsBack) {
    EXPECT_EQ(writeAndCheck(columns(17), "header"), "OK");
}

TEST_F(WorkbookFileTest, RandomTextsAcrossContinueBoundariesReadBack) {
    std::mt19937 random(11);
    const char* pieces[] = {";", "\"",  "M\xFCller", "\x80",     "\r\n", "C:\\Windows\\x.exe -k",
                            "",  "svc", " ",         "\xE9t\xE9"};
    ExportSheet sheet = columns(17);
    for (int r = 0; r < 800; ++r) {
        std::vector<std::string> cells;
        for (int c = 0; c < 17; ++c) {
            std::string text;
            int n = random() % 6;
            for (int k = 0; k < n; ++k) {
                text += pieces[random() % 10];
            }
            if (r % 97 == 0 && c == 3) {
                text += std::string(5000 + r, 'L');
            }
            cells.push_back(text);
        }
        sheet.rows.push_back(cells);
    }
    EXPECT_EQ(writeAndCheck(sheet, "random"), "OK");
}

TEST_F(WorkbookFileTest, SeventyThousandRowsGoOnTwoSheets) {
    ExportSheet sheet = columns(3);
    for (int r = 0; r < 70000; ++r) {
        sheet.rows.push_back(
            {"row " + std::to_string(r), std::to_string(r % 1000), r % 7 ? "x" : ""});
    }
    EXPECT_EQ(writeAndCheck(sheet, "big"), "OK");
}
