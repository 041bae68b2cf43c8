// The shared string table: shared entries, the CONTINUE cuts at 8224 bytes with
// the flag byte repeated, compressed against 16-bit characters.
#include "export/SharedStrings.h"
#include "export/Workbook.h"
#include "tests/native/export/BiffWalk.h"

#include <gtest/gtest.h>

using namespace kelvane;
using namespace biffwalk;

namespace {

class SharedStringsTest : public ::testing::Test {
protected:
    // One text cell per string, in column 0, and the SST read back.
    std::vector<std::u16string> roundTrip(const std::vector<std::u16string>& texts) {
        Workbook workbook;
        for (size_t i = 0; i < texts.size(); ++i) {
            workbook.sheet(0).setText(static_cast<long>(i), 0, texts[i]);
        }
        stream = workbook.buildStream();
        all = records(stream);
        for (sstAt = 0; all[sstAt].type != 0x00FC; ++sstAt) {
        }
        for (const auto& record : all) {
            EXPECT_LE(record.data.size(), 8224u);
        }
        return sstStrings(all, sstAt);
    }
    const Record& part(size_t n) const { return all.at(sstAt + n); }

    std::vector<uint8_t> stream;
    std::vector<Record> all;
    size_t sstAt = 0;
};

} // namespace

TEST_F(SharedStringsTest, EqualTextsShareOneEntry) {
    Workbook workbook;
    Sheet& sheet = workbook.sheet(0);
    sheet.setText(0, 0, std::string_view("same"));
    sheet.setText(0, 1, std::u16string_view(u"same"));
    sheet.setText(1, 0, std::string_view("other"));
    sheet.setText(1, 1, std::string_view("same"));
    sheet.setText(2, 0, std::string_view(""));
    auto all = records(workbook.buildStream());
    uint32_t total = 0;
    size_t sst = std::find_if(all.begin(), all.end(), [](auto& r) { return r.type == 0x00FC; }) -
                 all.begin();
    auto strings = sstStrings(all, sst, &total);
    EXPECT_EQ(total, 4u);
    EXPECT_EQ(strings, (std::vector<std::u16string>{u"same", u"other"}));
    EXPECT_EQ(u32(ofType(all, 0x00FD).at(3).data, 6), 0u);
    EXPECT_EQ(ofType(all, 0x0201).size(), 2u); // the empty text and the never-set cell
}

// Counts (8 bytes) and the first header (3) come first. What is cut resumes
// in a CONTINUE record after a flag byte; a string header is never cut, nor
// a 16-bit character, and a header too near the limit moves to the next record.
TEST_F(SharedStringsTest, TheSecondStringIsCutOnlyWhereReadersResume) {
    const struct {
        std::u16string first, second;
        size_t firstPart, secondPart;
        uint8_t secondPartStart; // the flag byte, or a header's count
    } cases[] = {
        {std::u16string(8000, u'a'), std::u16string(500, u'b'), 8224, 1 + 290, 0},
        {std::u16string(7999, u'a'), std::u16string(400, u'\u0394'), 8223, 1 + 2 * 295, 1},
        {std::u16string(8213, u'a'), u"next", 8224, 3 + 4, 4},
        {std::u16string(8203, u'a'), u"0123456789abc", 8214, 3 + 13, 13},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(roundTrip({c.first, c.second}), (std::vector<std::u16string>{c.first, c.second}));
        EXPECT_EQ(part(0).data.size(), c.firstPart) << c.firstPart;
        ASSERT_EQ(part(1).type, 0x003C);
        EXPECT_EQ(part(1).data.size(), c.secondPart) << c.firstPart;
        EXPECT_EQ(part(1).data.at(0), c.secondPartStart) << c.firstPart;
    }
}

TEST_F(SharedStringsTest, LongestCellTextSpansSeveralContinueRecords) {
    std::u16string longest(40000, u'\u0416');
    auto strings = roundTrip({longest, u"x"});
    ASSERT_EQ(strings.size(), 2u);
    EXPECT_EQ(strings[0].size(), kMaxCellCharacters);
    EXPECT_EQ(strings[1], u"x");
    for (size_t n = 1; part(n).type == 0x003C; ++n) {
        EXPECT_EQ(part(n).data.at(0), 1u) << "part " << n;
    }
}
