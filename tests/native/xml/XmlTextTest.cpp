#include "xml/AnsiCodePage.h"
#include "xml/XmlText.h"

#include <gtest/gtest.h>

using namespace kelvane;

TEST(XmlText, EncodingTakesFormsOtherReadersKeepAndEveryTextComesBack) {
    const struct {
        std::string ansi;
        bool cdata;
        const char* file;
    } cases[] = {
        {"a&b<c>d\"e'f", false, "a&amp;b&lt;c&gt;d&quot;e&apos;f"},
        {"\x01", false, "_x0001_"},
        {"\x1f", false, "_x001F_"},
        {std::string(1, '\0'), false, "_x0000_"},
        // Kept whole by other readers, which would make blanks of them in a value.
        {"\t\n\r", false, "&#9;&#10;&#13;"},
        // A text that looks like the form is protected; one that does not is not.
        {"_x0041_ _x00 my_x", false, "_x005F_x0041_ _x00 my_x"},
        {"M\xFC"
         "ller \xC4",
         false,
         "M\xC3\xBC"
         "ller \xC3\x84"},
        {"a<&>", true, "<![CDATA[a<&>]]>"},
        // The end marker inside the text must not end the section.
        {"x]]>y", true, "<![CDATA[x]]]]><![CDATA[>y]]>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(encodeXmlText(c.ansi, c.cdata), c.file) << c.file;
        EXPECT_EQ(decodeXmlText(c.file), c.ansi) << c.file;
    }
    // Beyond the fixed buffer as well.
    std::string text, expected;
    for (int i = 0; i < 1000; ++i) {
        text += "\"<\xE4";
        expected += "&quot;&lt;\xC3\xA4";
    }
    EXPECT_EQ(encodeXmlText(text), expected);
    EXPECT_EQ(decodeXmlText(expected), text);
}

TEST(XmlText, DecodingResolvesOnlyWhatItKnowsAndAnsiMeetsUtf8) {
    const struct {
        const char* file;
        const char* ansi;
    } cases[] = {
        {"a&#x00E4;", "a\xE4"},
        {"&#8364;", "\x80"},
        {"&#x4E2D;", "?"},
        {"&#x;", "&#x;"},
        {"&#12", "&#12"},
        {"&#xZZ;", "&#xZZ;"},
        {"&#55296;", "&#55296;"},
        // Older versions wrote references for control bytes.
        {"&#1;x&#31;", "\x01x\x1f"},
        {"&amp;lt;", "&lt;"},
        {"_x0041_ _x005f_ _x00 _", "_x0041_ _ _x00 _"},
        {"&nbsp; & &am", "&nbsp; & &am"},
        {"a<![CDATA[&lt;]]>b&lt;", "a&lt;b<"},
        {"<![CDATA[open &amp;", "<![CDATA[open &"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decodeXmlText(c.file), c.ansi) << c.file;
    }

    // The euro sign lives at 0x80 in Windows-1252.
    EXPECT_EQ(ansiToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(utf8ToAnsi("\xE2\x82\xAC"), "\x80");
    // Characters outside the code page and broken sequences become the default.
    EXPECT_EQ(utf8ToAnsi("\xE4\xB8\xAD"), "?"); // a CJK character
    EXPECT_EQ(utf8ToAnsi("a\xC3"), "a?");       // cut short
    EXPECT_EQ(utf8ToAnsi("\xC0\xAF"), "??");    // overlong slash
}
