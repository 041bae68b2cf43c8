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

TEST(XmlText, ControlBytesTakeFormsXmlAcceptsAndReadBackAsTheirBytes) {
    EXPECT_EQ(encodeXmlText(std::string("\x01")), "_x0001_");
    EXPECT_EQ(encodeXmlText(std::string("\x1f")), "_x001F_");
    EXPECT_EQ(encodeXmlText(std::string(1, '\0')), "_x0000_");
    // Kept whole by other readers, which would make blanks of them in a value.
    EXPECT_EQ(encodeXmlText("\t\n\r"), "&#9;&#10;&#13;");
    // A text that looks like the form is protected; one that does not is not.
    EXPECT_EQ(encodeXmlText("_x0041_ _x00 my_x"), "_x005F_x0041_ _x00 my_x");
    for (int byte = 0; byte < 0x20; ++byte) {
        const std::string text = "a" + std::string(1, static_cast<char>(byte)) + "_x001F_b";
        EXPECT_EQ(decodeXmlText(encodeXmlText(text)), text) << byte;
    }
    // Older versions wrote references, which read as their bytes as well.
    EXPECT_EQ(decodeXmlText("&#1;x&#31;"), "\x01x\x1f");
}

TEST(XmlText, NumericReferencesReadAsTheirCharacters) {
    const struct {
        const char* file;
        const char* ansi;
    } cases[] = {
        {"&#38;", "&"},         {"&#x26;", "&"},          {"&#169;", "\xA9"},
        {"a&#x00E4;", "a\xE4"}, {"&#8364;", "\x80"},      {"&#x4E2D;", "?"},
        {"&#;", "&#;"},         {"&#x;", "&#x;"},         {"&#12", "&#12"},
        {"&#xZZ;", "&#xZZ;"},   {"&#55296;", "&#55296;"}, {"&#1114112;", "&#1114112;"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decodeXmlText(c.file), c.ansi) << c.file;
    }
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
    EXPECT_EQ(decodeXmlText("_x0041_ _x005f_ _x00 _"), "_x0041_ _ _x00 _");
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
