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
    auto labels = ofType(all, 0x00FD);
    ASSERT_EQ(labels.size(), 4u);
    EXPECT_EQ(u32(labels[3].data, 6), 0u);
    EXPECT_EQ(ofType(all, 0x0201).size(), 2u); // the empty text and the never-set cell
}

TEST_F(SharedStringsTest, EightBitTextsKeepTheirBytesCompressed) {
    Workbook workbook;
    workbook.sheet(0).setText(0, 0, std::string_view("M\xFCller \x80"));
    workbook.sheet(0).setText(1, 0, std::u16string_view(u"\u20AC and \u00FC"));
    auto all = records(workbook.buildStream());
    auto sst = ofType(all, 0x00FC).at(0).data;
    // count, flag 0, the bytes unchanged; then the euro text in 16-bit form.
    std::vector<uint8_t> first(sst.begin() + 8, sst.begin() + 8 + 3 + 8);
    EXPECT_EQ(first, (std::vector<uint8_t>{8, 0, 0, 'M', 0xFC, 'l', 'l', 'e', 'r', ' ', 0x80}));
    EXPECT_EQ(sst.at(8 + 11 + 2), 1u);
    EXPECT_EQ(u16(sst, 8 + 11 + 3), 0x20ACu);
}

TEST_F(SharedStringsTest, CompressedStringStraddlingTheLimitResumesAfterAFlagByte) {
    // 8 bytes of counts + 3 + 8000 leave 213 bytes: the second string is cut
    // after 3 + 210 of its characters.
    std::u16string second(500, u'b');
    auto strings = roundTrip({std::u16string(8000, u'a'), second, u"tail"});
    ASSERT_EQ(strings.size(), 3u);
    EXPECT_EQ(strings[1], second);
    EXPECT_EQ(strings[2], u"tail");
    EXPECT_EQ(part(0).data.size(), 8224u);
    ASSERT_EQ(part(1).type, 0x003C);
    EXPECT_EQ(part(1).data.at(0), 0u);
    EXPECT_EQ(part(1).data.at(1), 'b');
    EXPECT_EQ(part(1).data.size(), 1u + 290 + 3 + 4);
}

TEST_F(SharedStringsTest, WideStringIsNeverCutInsideACharacter) {
    // 8 + 3 + 7999 leave 214 bytes: 3 for the header, 105 whole characters.
    std::u16string wide(400, u'\u0394');
    auto strings = roundTrip({std::u16string(7999, u'a'), wide});
    EXPECT_EQ(strings[1], wide);
    EXPECT_EQ(part(0).data.size(), 8223u);
    EXPECT_EQ(part(1).data.at(0), 1u);
    EXPECT_EQ(part(1).data.size(), 1u + 2 * (400 - 105));
}

TEST_F(SharedStringsTest, StringEndingAtTheLimitIsFollowedByAPlainHeader) {
    auto strings = roundTrip({std::u16string(8224 - 8 - 3, u'a'), u"next"});
    EXPECT_EQ(strings[1], u"next");
    EXPECT_EQ(part(0).data.size(), 8224u);
    EXPECT_EQ(part(1).data, (std::vector<uint8_t>{4, 0, 0, 'n', 'e', 'x', 't'}));
}

TEST_F(SharedStringsTest, FewBytesBeforeTheLimitStartTheStringInTheNextRecord) {
    auto strings = roundTrip({std::u16string(8224 - 8 - 3 - 10, u'a'), u"0123456789abc"});
    EXPECT_EQ(strings[1], u"0123456789abc");
    EXPECT_EQ(part(0).data.size(), 8214u);
    EXPECT_EQ(part(1).data.at(0), 13u);
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
