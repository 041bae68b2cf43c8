// The shared string table: shared entries, the CONTINUE cuts at 8224 bytes with
// the flag byte repeated, compressed against 16-bit characters, read back by xlrd.
#include "export/SharedStrings.h"
#include "export/Workbook.h"
#include "tests/native/HostPython.h"
#include "tests/native/export/BiffWalk.h"

#include <gtest/gtest.h>

using namespace kelvane;
using namespace kelvane::test;
using namespace biffwalk;

TEST(SharedStrings, EqualTextsShareOneEntry) {
    Workbook workbook;
    Sheet& sheet = workbook.sheet(0);
    sheet.setText(0, 0, std::string_view("same"));
    sheet.setText(0, 1, std::u16string_view(u"same"));
    sheet.setText(1, 0, std::string_view("other"));
    sheet.setText(1, 1, std::string_view("same"));
    sheet.setText(2, 0, std::string_view(""));
    auto all = records(workbook.buildStream());
    const auto sst = ofType(all, 0x00FC).at(0).data;
    EXPECT_EQ(u32(sst, 0), 4u) << "uses";
    EXPECT_EQ(u32(sst, 4), 2u) << "entries";
    EXPECT_EQ(u32(ofType(all, 0x00FD).at(3).data, 6), 0u);
    EXPECT_EQ(ofType(all, 0x0201).size(), 2u); // the empty text and the never-set cell
}

// Counts (8 bytes) and the first header (3) come first. What is cut resumes
// in a CONTINUE record after a flag byte; a string header is never cut, nor
// a 16-bit character, and a header too near the limit moves to the next record.
// xlrd checks the table strictly; the longest text is cut to a cell's limit.
TEST(SharedStrings, TextsAreCutOnlyWhereReadersResume) {
    const struct {
        std::u16string first, second;
        size_t firstPart;
        uint8_t secondPartStart; // the flag byte, or a header's count
    } cases[] = {
        {std::u16string(8000, u'a'), std::u16string(500, u'b'), 8224, 0},
        {std::u16string(7999, u'a'), std::u16string(400, u'\u0394'), 8223, 1},
        {std::u16string(8213, u'a'), u"next", 8224, 4},
        {std::u16string(8203, u'a'), u"0123456789abc", 8214, 13},
        {std::u16string(40000, u'\u0416'), u"x", 8223, 1},
    };
    std::string paths, expected;
    for (size_t n = 0; n < std::size(cases); ++n) {
        Workbook workbook;
        const auto& c = cases[n];
        workbook.sheet(0).setText(0, 0, c.first);
        workbook.sheet(0).setText(1, 0, c.second);
        const auto stream = workbook.buildStream();
        const auto all = records(stream);
        for (const auto& record : all) {
            EXPECT_LE(record.data.size(), 8224u);
        }
        const auto sst = std::find_if(all.begin(), all.end(), [](auto& r) { return r.type == 0xFC; });
        EXPECT_EQ(sst->data.size(), c.firstPart) << n;
        EXPECT_EQ((sst + 1)->data.at(0), c.secondPartStart) << n;
        const std::string path = "/tmp/kelvane-sst-" + std::to_string(::getpid()) + "-" +
                                 std::to_string(n) + ".xls";
        saveBytes(path, stream);
        paths += " " + path;
        expected += std::to_string(std::min(c.first.size(), kMaxCellCharacters)) + " " +
                    std::to_string(int(c.first[0])) + " " + std::to_string(c.second.size()) + " " +
                    std::to_string(int(c.second.back())) + "\n";
    }
    std::string output;
    const int code = runPython("import sys, xlrd\n"
                               "for path in sys.argv[1:]:\n"
                               "    s = xlrd.open_workbook(path).sheet_by_index(0)\n"
                               "    a, b = s.cell_value(0, 0), s.cell_value(1, 0)\n"
                               "    assert len(set(a)) == 1\n"
                               "    print(len(a), ord(a[0]), len(b), ord(b[-1]))\n",
                               paths, &output);
    std::system(("rm -f" + paths).c_str());
    ASSERT_EQ(code, 0) << output;
    EXPECT_EQ(output, expected);
}
