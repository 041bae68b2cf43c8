#include "xml/XmlDocument.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

struct Read {
    bool ok;
    XmlDocument document;
};

std::unique_ptr<Read> readXml(std::string_view text) {
    auto read = std::make_unique<Read>();
    read->ok = read->document.readBytes(text, "test.xml");
    return read;
}

const XmlNode& top(const Read& read) {
    return *read.document.root().children.at(0);
}

} // namespace

// Comments and sections run past inner closing brackets (a section's text:
// XmlTextTest).
TEST(XmlReaderTree, CommentsAndSectionsRunPastInnerBrackets) {
    auto inner = readXml("<a><!-- <b> -> > --><![CDATA[<c>]]></a>");
    ASSERT_TRUE(inner->ok);
    EXPECT_TRUE(top(*inner).children.empty());
    EXPECT_EQ(top(*inner).content, "<!-- <b> -> > --><![CDATA[<c>]]>");
}

// Values may hold the tag's end, repeated names keep the last, texts keep
// their blanks; without a declaration the bytes are ANSI.
TEST(XmlReaderTree, AttributesAreDecodedTextsKeepTheirBlanksAndAnsiFilesAreConverted) {
    auto read = readXml("<a z='1' b=\"&lt;&#65;\" z='2' t=\"1>0\" ><h>srv </h><p> x\n</p></a >");
    ASSERT_TRUE(read->ok);
    const XmlNode& a = top(*read);
    std::string seen;
    for (const auto& [name, value] : a.attributes) {
        seen += std::string(name) + "=" + std::string(value) + ";";
    }
    for (const auto& child : a.children) {
        seen += child->name + ":" + child->text() + ";";
    }
    EXPECT_EQ(seen, "b=<A;t=1>0;z=2;h:srv ;p: x\n;");

    auto ansi = readXml("<gr\xF6\xDF"
                        "e v='\xE4'>\xFC</gr\xF6\xDF"
                        "e>");
    ASSERT_TRUE(ansi->ok);
    EXPECT_EQ(top(*ansi).name + top(*ansi).attribute("v") + top(*ansi).text(), "gr\xF6\xDF"
                                                                               "e\xE4\xFC");
}

TEST(XmlReaderErrors, AttributeErrorsCarryLineAndColumnAndKeepWhatWasRead) {
    const struct {
        const char* text;
        const char* error;
        size_t attributes;
    } cases[] = {
        {"<a x='1' y=2>", "test.xml:1:14 missing attribute value quote", 1},
        {"<a x = '1'/>", "test.xml:1:13 missing attribute assignment", 0},
        {"<a\r\n\r\n x=\"open>", "test.xml:3:10 unterminated attribute quote", 1},
    };
    for (const auto& c : cases) {
        auto read = readXml(c.text);
        EXPECT_FALSE(read->ok) << c.text;
        ASSERT_EQ(read->document.errors().size(), 1u) << c.text;
        const XmlError& error = read->document.errors()[0];
        EXPECT_EQ(error.sourceName + ":" + std::to_string(error.line) + ":" +
                      std::to_string(error.column) + " " + error.message,
                  c.error);
        EXPECT_EQ(top(*read).attributes.size(), c.attributes) << c.text;
    }
    EXPECT_EQ(top(*readXml("<a x=\"open>")).attribute("x"), "open");
}

// The byte order mark outranks a declared encoding; the line end after the
// declaration records nothing; lines count a CR LF pair once.
TEST(XmlReaderFormat, DeclarationByteOrderMarkAndTheFirstLineEnd) {
    auto read = readXml("\xEF\xBB\xBF<?xml version=\"1.1\" encoding=\"iso-8859-1\" "
                        "standalone=\"YES\"?>\r\n<a>\xC3\xA4</a>");
    ASSERT_TRUE(read->ok);
    const XmlFormat& format = read->document.format();
    EXPECT_TRUE(format.bom);
    EXPECT_EQ(format.version + " " + format.encoding + " " + std::to_string(format.standalone),
              "1.1 utf-8 1");
    EXPECT_EQ(format.lineEnd, "\n");
    EXPECT_EQ(top(*read).text(), "\xE4");

    EXPECT_EQ(readXml("<a>\r\n<b/>\n</a>")->document.format().lineEnd, "\r\n");
    EXPECT_EQ(readXml("<a>\n<b/>\r\n</a>")->document.format().lineEnd, "\n");
    EXPECT_EQ(readXml("<a b='\r\n'/>\n")->document.format().lineEnd, "\n");
    read = readXml("<r>\r\n\r\n\n\r<a x>");
    ASSERT_EQ(read->document.errors().size(), 1u);
    EXPECT_EQ(read->document.errors()[0].line, 4u);
    EXPECT_EQ(read->document.errors()[0].column, 6u);
}

TEST(XmlReaderLimits, DeepNestingIsReadAndFreedWithoutRecursion) {
    constexpr int depth = 200000;
    std::string opening, closing;
    for (int i = 0; i < depth; ++i) {
        opening += "<e>";
        closing += "</e>";
    }
    auto read = readXml(opening + closing);
    EXPECT_TRUE(read->ok);
    int levels = 0;
    for (const XmlNode* node = &read->document.root(); !node->children.empty(); ++levels) {
        node = node->children[0].get();
    }
    EXPECT_EQ(levels, depth);
    read.reset();
    EXPECT_TRUE(readXml(opening)->ok) << "left open as well";
}
