#include "xml/AnsiCodePage.h"
#include "xml/XmlText.h"

#include <gtest/gtest.h>

using namespace kelvane;

TEST(XmlText, FiveSpecialCharactersEscapeAndComeBack) {
    const std::string text = "a&b<c>d\"e'f";
    const std::string encoded = encodeXmlText(text);
    EXPECT_EQ(encoded, "a&amp;b&lt;c&gt;d&quot;e&apos;f");
    EXPECT_EQ(decodeXmlText(encoded), text);
}

TEST(XmlText, ControlBytesBecomeReferencesThatReadBackAsWritten) {
    EXPECT_EQ(encodeXmlText(std::string("\x01")), "&#1;");
    EXPECT_EQ(encodeXmlText(std::string("\x1f")), "&#31;");
    EXPECT_EQ(encodeXmlText(std::string(1, '\0')), "&#0;");
    // Numeric references are not resolved on reading.
    EXPECT_EQ(decodeXmlText("&#1;"), "&#1;");
    EXPECT_EQ(encodeXmlText("\t\n\r"), "\t\n\r");
}

TEST(XmlText, AnsiUmlautIsTwoUtf8BytesInTheFile) {
    const std::string ansi = "M\xFC"
                             "ller \xC4";
    const std::string encoded = encodeXmlText(ansi);
    EXPECT_EQ(encoded, "M\xC3\xBC"
                       "ller \xC3\x84");
    EXPECT_EQ(decodeXmlText(encoded), ansi);
    // The euro sign lives at 0x80 in Windows-1252.
    EXPECT_EQ(ansiToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(utf8ToAnsi("\xE2\x82\xAC"), "\x80");
}

TEST(XmlText, CharactersOutsideTheCodePageAndBrokenUtf8BecomeTheDefault) {
    EXPECT_EQ(utf8ToAnsi("\xE4\xB8\xAD"), "?"); // a CJK character
    EXPECT_EQ(utf8ToAnsi("a\xC3"), "a?");       // cut short
    EXPECT_EQ(utf8ToAnsi("\xC0\xAF"), "??");    // overlong slash
    EXPECT_EQ(utf8ToAnsi("\xED\xA0\x80"), "???");
}

TEST(XmlText, CdataIsWrappedNotEscaped) {
    EXPECT_EQ(encodeXmlText("a<&>", true), "<![CDATA[a<&>]]>");
    // The end marker inside the text must not end the section.
    const std::string encoded = encodeXmlText("x]]>y", true);
    EXPECT_EQ(encoded, "<![CDATA[x]]]]><![CDATA[>y]]>");
    EXPECT_EQ(decodeXmlText(encoded), "x]]>y");
}

TEST(XmlText, DecodingResolvesOnlyWhatItKnows) {
    EXPECT_EQ(decodeXmlText("&amp;lt;"), "&lt;");
    EXPECT_EQ(decodeXmlText("&nbsp; & &am"), "&nbsp; & &am");
    EXPECT_EQ(decodeXmlText("a<![CDATA[&lt;]]>b&lt;"), "a&lt;b<");
    EXPECT_EQ(decodeXmlText("<![CDATA[open &amp;"), "<![CDATA[open &");
    EXPECT_EQ(decodeXmlText("<!-- c -->"), "<!-- c -->");
}

TEST(XmlText, LongTextsEscapeAlikeBeyondTheFixedBuffer) {
    std::string text;
    for (int i = 0; i < 1000; ++i) {
        text += "\"<\xE4";
    }
    const std::string encoded = encodeXmlText(text);
    std::string expected;
    for (int i = 0; i < 1000; ++i) {
        expected += "&quot;&lt;\xC3\xA4";
    }
    EXPECT_EQ(encoded, expected);
    EXPECT_EQ(decodeXmlText(encoded), text);
}
