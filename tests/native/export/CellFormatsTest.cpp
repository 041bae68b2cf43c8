// The format layer's find-or-create of fonts, number formats and XFs, and the
// export's formats as independent readers see them.
#include "export/CellFormats.h"
#include "export/ExportSheet.h"
#include "tests/native/HostPython.h"
#include "tests/native/export/BiffWalk.h"

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::test;
using namespace biffwalk;

// Fonts, number formats and XFs are found before they are made; a font never
// takes index four, which readers skip, and a cell never gets a style XF.
TEST(CellFormats, FoundBeforeMadeWithoutFontFourOrStyleXfs) {
    Workbook workbook;
    CellFormats formats(workbook);
    FontDescription font;
    std::vector<uint16_t> indexes;
    for (uint16_t weight : {400, 700, 100, 200, 300, 500, 300}) {
        font.weight = weight;
        indexes.push_back(formats.fontIndex(font));
    }
    EXPECT_EQ(indexes, (std::vector<uint16_t>{0, 1, 2, 3, 5, 6, 5}));
    indexes.clear();
    for (const char16_t* format :
         {u"General", u"M/D/YY h:mm", u"@", u"yyyy-mm-dd", u"yyyy-mm-dd"}) {
        indexes.push_back(formats.numberFormatIndex(format));
    }
    EXPECT_EQ(indexes, (std::vector<uint16_t>{0, 22, 49, 164, 164}));
    CellFormat plain;
    EXPECT_EQ(formats.xfIndex(plain), kDefaultCellXf);
    CellFormat top;
    top.alignment = 0;
    CellFormat sameAsTop = top;
    EXPECT_EQ(formats.xfIndex(top), 21u);
    EXPECT_EQ(formats.xfIndex(sameAsTop), 21u);
    EXPECT_EQ(workbook.xfs()[21].typeProtection, 0x0078u) << "a cell XF";
}

// xlrd seeks to every BOUNDSHEET position and checks the SST strictly; it also
// reads a bare BIFF8 stream, so the native tree needs no compound document.
TEST(CellFormats, XlrdReadsTheExportWithItsFormats) {
    ExportSheet source;
    for (int c = 0; c < 10; ++c) {
        std::u16string format = c == 5 ? u"0" : c == 9 ? u"M/D/YY h:mm" : u"General";
        source.columns.push_back({"Column " + std::to_string(c), format, uint8_t(c == 5 ? 3 : 0)});
    }
    for (int r = 0; r < 40; ++r) {
        source.rows.emplace_back();
        for (int c = 0; c < 10; ++c) {
            source.rows.back().push_back(c == 3 ? "M\xFCller \x80"
                                                : "v" + std::to_string(r * 10 + c));
        }
    }
    source.rows[6][1] = std::string(9000, 'x'); // the table goes on past a cut text
    Workbook workbook;
    fillWorkbook(workbook, source);
    std::string path = "/tmp/kelvane-export-" + std::to_string(::getpid()) + ".xls";
    saveBytes(path, workbook.buildStream());
    const char* script = R"(
import sys, xlrd
b = xlrd.open_workbook(sys.argv[1], formatting_info=True)
s = b.sheet_by_index(0)
print(s.name, s.nrows, s.ncols, s.cell_value(40, 3))
h = b.xf_list[s.cell_xf_index(0, 0)]
print("weight", b.font_list[h.font_index].weight, b.font_list[h.font_index].name)
for c in (0, 5, 9):
    x = b.xf_list[s.cell_xf_index(1, c)]
    print("fmt", c, b.format_map[x.format_key].format_str, x.alignment.hor_align, x.alignment.vert_align)
)";
    std::string output;
    int code = runPython(script, path, &output);
    std::remove(path.c_str());
    ASSERT_EQ(code, 0) << output;
    EXPECT_EQ(output, "Sheet1 41 10 Müller €\n"
                      "weight 700 Arial\n"
                      "fmt 0 General 0 0\n"
                      "fmt 5 0 3 0\n"
                      "fmt 9 m/d/yy h:mm 0 0\n");
}
