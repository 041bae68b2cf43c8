#include "xml/XmlDocument.h"
#include "tests/native/ExactText.h"

#include <gtest/gtest.h>

using namespace kelvane;

class XmlPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(document.readBytes(
            "<XML_DIZ_INFO>"
            "<Program_Info><Program_Version>4.7</Program_Version></Program_Info>"
            "<Program_Info><Program_Version>9</Program_Version></Program_Info>"
            "<list><item>one</item><other>o</other><item>two</item></list>"
            "<entries><entry name='x'>nx</entry><entry name='x' type='y'>xy</entry>"
            "<entry name='z' type=''>zt</entry><entry name='w'>w</entry></entries>"
            "</XML_DIZ_INFO>",
            "pad"));
    }

    std::string textAt(std::string_view path) {
        XmlCursor cursor(document);
        EXPECT_TRUE(cursor.goDown("XML_DIZ_INFO"));
        return cursor.current().textAtPath(parseXmlPath(kelvane::test::ExactText(path)));
    }

    XmlDocument document;
};

// Indexes count from one and zero means the first; every filter must hold,
// and an absent attribute matches the empty value.
TEST_F(XmlPathTest, StepsFollowFirstMatchesIndexesAndFilters) {
    const std::pair<const char*, const char*> cases[] = {
        {"Program_Info/Program_Version", "4.7"},
        {"Program_Info[2]/Program_Version", "9"},
        {"list/item[2]", "two"},
        {"list/item[0]", "one"},
        {"list/item[3]", ""},
        {"list/*[2]", "o"},
        {"list/*[99999999999]", ""},
        {"entries/entry[@name='x' and @type='y']", "xy"},
        {"entries/entry[@type='']", "nx"},
        {"entries/entry[@name='z' and @type='']", "zt"},
        {"entries/entry[@name='x' and @type='y'][2]", "xy"},
        {"entries/entry[@name='q']", ""}};
    for (const auto& [path, text] : cases) {
        EXPECT_EQ(textAt(path), text) << path;
    }
}

TEST(XmlPathParse, ALoneSlashIsAbsoluteAndAnOpenQuoteEndsAtTheText) {
    XmlPath path = parseXmlPath(kelvane::test::ExactText("/"));
    EXPECT_TRUE(path.absolute);
    EXPECT_TRUE(path.steps.empty());

    path = parseXmlPath(kelvane::test::ExactText("x[@a='open"));
    ASSERT_EQ(path.steps.size(), 1u);
    EXPECT_EQ(path.steps[0].filters.at("a"), "open");
}

TEST_F(XmlPathTest, CursorMovesOnlyOnSuccessAndGoesBack) {
    XmlCursor cursor(document);
    ASSERT_TRUE(cursor.goDown("XML_DIZ_INFO"));
    ASSERT_TRUE(cursor.goDown("list"));
    EXPECT_FALSE(cursor.goDown("Program_Info"));
    ASSERT_TRUE(cursor.goDown("item", 1));
    EXPECT_EQ(cursor.current().text(), "two");
    cursor.back();
    EXPECT_EQ(cursor.current().name, "list");
    cursor.back();
    cursor.back();
    cursor.back(); // nothing left: stays at the root
    EXPECT_EQ(&cursor.current(), &document.root());
}
