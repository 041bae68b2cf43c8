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

TEST(XmlReaderTree, TextPiecesStayRaw) {
    auto read =
        readXml("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!-- c --> <a> x &amp; <b/> t </a>\n");
    ASSERT_TRUE(read->ok);
    const XmlNode& a = top(*read);
    ASSERT_EQ(a.children.size(), 1u);
    const XmlNode& b = *a.children[0];
    EXPECT_EQ((std::vector<std::string>{a.leading, a.content, a.text(), b.leading, b.trailing,
                                        a.endLeading, a.trailing}),
              (std::vector<std::string>{"<!-- c --> ", " x &amp;", " x &", " ", " t", " ", "\n"}));
}

TEST(XmlReaderTree, WholeCdataSectionIsTheContent) {
    auto read = readXml("<a><![CDATA[x &amp; <y>]]></a><b><![CDATA[1]]> 2</b>");
    const XmlNode& a = top(*read);
    EXPECT_TRUE(a.cdata);
    EXPECT_EQ(a.content, "x &amp; <y>");
    EXPECT_EQ(a.text(), "x &amp; <y>");
    const XmlNode& b = *read->document.root().children.at(1);
    EXPECT_FALSE(b.cdata);
    EXPECT_EQ(b.text(), "1 2");

    // Comments and sections run past inner closing brackets.
    auto inner = readXml("<a><!-- <b> -> > --><![CDATA[<c>]]></a>");
    ASSERT_TRUE(inner->ok);
    EXPECT_TRUE(top(*inner).children.empty());
    EXPECT_EQ(top(*inner).content, "<!-- <b> -> > --><![CDATA[<c>]]>");
}

TEST(XmlReaderTree, AttributesAreDecodedAndRepeatedNamesKeepTheLast) {
    auto read = readXml("<a z='1' b=\"&lt;&#65;\" z='2' c='x\"y'/>");
    ASSERT_TRUE(read->ok);
    const XmlNode& a = top(*read);
    EXPECT_EQ(a.attribute("none", "dflt"), "dflt");
    std::string order;
    for (const auto& [name, value] : a.attributes) {
        order += std::string(name) + "=" + std::string(value) + ";";
    }
    EXPECT_EQ(order, "b=<A;c=x\"y;z=2;");
}

TEST(XmlReaderTree, ValuesMayHoldTheTagEndAndTextsKeepTheirBlanks) {
    auto read = readXml("<a t=\"1>0\" u='>' ><h>srv </h><s>  </s><p> x\n</p><b /></a >");
    ASSERT_TRUE(read->ok);
    const XmlNode& a = top(*read);
    EXPECT_EQ(a.attribute("t") + a.attribute("u"), "1>0>");
    std::vector<std::string> texts;
    for (const auto& child : a.children) {
        texts.push_back(child->name + ":" + child->text());
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"h:srv ", "s:  ", "p: x\n", "b:"}));
}

TEST(XmlReaderTree, UmlautNamesFromAnAnsiFile) {
    // No declaration: the bytes are ANSI and are converted on the way in.
    auto read = readXml("<gr\xF6\xDF"
                        "e v='\xE4'>\xFC</gr\xF6\xDF"
                        "e>");
    ASSERT_TRUE(read->ok);
    EXPECT_EQ(top(*read).name, "gr\xF6\xDF"
                               "e");
    EXPECT_EQ(top(*read).attribute("v"), "\xE4");
    EXPECT_EQ(top(*read).content, "\xC3\xBC");
    EXPECT_EQ(top(*read).text(), "\xFC");
}

TEST(XmlReaderErrors, AttributeErrorsCarryLineAndColumn) {
    struct Case {
        const char* text;
        const char* message;
        uint32_t line, column;
        size_t attributes;
    } cases[] = {
        {"<r>\n<a x='1' y=2>", "missing attribute value quote", 2, 14, 1},
        {"<a x = '1'/>", "missing attribute assignment", 1, 13, 0},
        {"<a x= '1'/>", "missing attribute value quote", 1, 12, 0},
        {"<a x='1' y>", "missing attribute assignment", 1, 12, 1},
        {"<a\r\n\r\n x=\"open>", "unterminated attribute quote", 3, 10, 1},
    };
    for (const Case& c : cases) {
        auto read = readXml(c.text);
        EXPECT_FALSE(read->ok) << c.text;
        ASSERT_EQ(read->document.errors().size(), 1u) << c.text;
        const XmlError& error = read->document.errors()[0];
        EXPECT_EQ(error.sourceName + ":" + std::to_string(error.line) + ":" +
                      std::to_string(error.column) + " " + error.message,
                  "test.xml:" + std::to_string(c.line) + ":" + std::to_string(c.column) + " " +
                      c.message);
        // The element keeps what was read before the error.
        const XmlNode* element = read->document.element("a");
        if (!element) {
            element = read->document.element("r")->children.at(0).get();
        }
        EXPECT_EQ(element->attributes.size(), c.attributes) << c.text;
    }
    auto unterminated = readXml("<a x=\"open>");
    EXPECT_EQ(top(*unterminated).attribute("x"), "open");
}

TEST(XmlReaderErrors, StrayEndTagKeepsTheTopLevelOpenAndAnOpenEndKeepsWhatWasRead) {
    auto read = readXml("</x><a/></a></b><c/>");
    EXPECT_FALSE(read->ok);
    EXPECT_EQ(read->document.errors().size(), 3u);
    EXPECT_EQ(read->document.errors()[0].message, "end tag without open element");
    ASSERT_EQ(read->document.root().children.size(), 2u);
    EXPECT_EQ(read->document.root().children[1]->name, "c");

    auto open = readXml("<a><b>text");
    ASSERT_EQ(top(*open).children.size(), 1u);
    EXPECT_EQ(top(*open).children[0]->trailing, "text");
}

TEST(XmlReaderFormat, DeclarationAndByteOrderMark) {
    auto read = readXml("\xEF\xBB\xBF<?xml version=\"1.1\" encoding=\"UTF-8\" "
                        "standalone=\"YES\"?>\r\n<a>\xC3\xA4</a>");
    ASSERT_TRUE(read->ok);
    const XmlFormat& format = read->document.format();
    EXPECT_TRUE(format.bom);
    EXPECT_EQ(format.version + " " + format.encoding + " " + std::to_string(format.standalone),
              "1.1 UTF-8 1");
    EXPECT_EQ(top(*read).leading, ""); // the line end after the declaration is skipped
    EXPECT_EQ(format.lineEnd, "\n");   // and records nothing
    EXPECT_EQ(top(*read).text(), "\xE4");

    auto other = readXml("<?xml version='' standalone='no'?><a/>");
    EXPECT_EQ(other->document.format().version, "1.0");
    EXPECT_EQ(other->document.format().standalone, 0);

    // The byte order mark outranks a declared encoding.
    auto marked =
        readXml("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><a>\xC3\xA4</a>");
    EXPECT_EQ(marked->document.format().encoding, "utf-8");
    EXPECT_EQ(top(*marked).text(), "\xE4");
}

TEST(XmlReaderFormat, FirstLineEndIsRecordedAndLinesCountPairsOnce) {
    EXPECT_EQ(readXml("<a>\r\n<b/>\n</a>")->document.format().lineEnd, "\r\n");
    EXPECT_EQ(readXml("<a>\n<b/>\r\n</a>")->document.format().lineEnd, "\n");
    EXPECT_EQ(readXml("<a b='\r\n'/>\n")->document.format().lineEnd, "\n");
    auto read = readXml("<r>\r\n\r\n\n\r<a x>");
    ASSERT_EQ(read->document.errors().size(), 1u);
    EXPECT_EQ(read->document.errors()[0].line, 4u);
    EXPECT_EQ(read->document.errors()[0].column, 6u);
}

TEST(XmlReaderFormat, DoctypeAndStyleSheets) {
    auto read = readXml(
        "<!DOCTYPE html PUBLIC \"-//W3C//DTD\" 'http://x/y.dtd'>\n"
        "<?xml-stylesheet href=\"s.xsl\" type=\"text/xsl\" alternate=\"Yes\" media='print'?>\n"
        "<?xml-stylesheet type=\"text/css\" href=\"b.css\"?><?pi data?><html/>");
    ASSERT_TRUE(read->ok);
    const XmlFormat& format = read->document.format();
    auto doctype = [](const Read& r) {
        const auto& d = r.document.format().doctype;
        return d.name + "|" + d.publicId + "|" + d.systemId;
    };
    EXPECT_EQ(doctype(*read), "html|-//W3C//DTD|http://x/y.dtd");
    ASSERT_EQ(format.styleSheets.size(), 2u);
    const auto& first = format.styleSheets[0];
    EXPECT_EQ(first.href + "|" + first.media + "|" + format.styleSheets[1].type,
              "s.xsl|print|text/css");
    EXPECT_TRUE(first.alternate);
    EXPECT_FALSE(format.styleSheets[1].alternate);
    EXPECT_EQ(top(*read).leading, "<?pi data?>");

    EXPECT_EQ(doctype(*readXml("<!DOCTYPE note SYSTEM \"note.dtd\"><note/>")), "note||note.dtd");
    EXPECT_EQ(doctype(*readXml("<!DOCTYPE note SYSTEM \"note.dtd><note/>")), "note||");
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
    const XmlNode* node = &read->document.root();
    int levels = 0;
    while (!node->children.empty()) {
        node = node->children[0].get();
        ++levels;
    }
    EXPECT_EQ(levels, depth);
    read.reset();

    // Left open as well.
    auto open = readXml(opening);
    EXPECT_TRUE(open->ok);
}

TEST(XmlReaderFile, MissingFileIsAnError) {
    XmlDocument document;
    EXPECT_FALSE(document.readFile("/nonexistent/dir/file.xml"));
    ASSERT_EQ(document.errors().size(), 1u);
    EXPECT_EQ(document.errors()[0].sourceName, "/nonexistent/dir/file.xml");
}
