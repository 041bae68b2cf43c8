#include "framework/Exception.h"
#include "xml/XmlDocument.h"
#include "xml/XmlStreamWriter.h"

#include <gtest/gtest.h>

using namespace kelvane;

class XmlWriterTest : public ::testing::Test {
protected:
    std::unique_ptr<XmlStreamWriter> writer(PrettyMode mode) {
        XmlFormat format;
        format.prettyMode = mode;
        return std::make_unique<XmlStreamWriter>(std::make_unique<XmlStringOutput>(out), format);
    }

    // A small tree: a root with an attribute-only child, a text child and an
    // empty child.
    void writeSample(XmlStreamWriter& w) {
        w.createElement("root");
        w.createElement("item");
        w.setAttribute("z", "1");
        w.setAttribute("a", "<&>");
        w.back();
        w.createElement("text");
        w.setText("M\xFC");
        w.back();
        w.createElement("empty");
        w.back();
        w.back();
        w.close();
    }

    std::string out;
};

// The settings file is written compact; the indenting modes are not used.
TEST_F(XmlWriterTest, CompactIsOneLine) {
    writeSample(*writer(0));
    EXPECT_EQ(out,
              "<root><item a=\"&lt;&amp;&gt;\" z=\"1\"/><text>M\xC3\xBC</text><empty/></root>\n");
}

TEST_F(XmlWriterTest, WrittenTextReadsBack) {
    const std::string text = "a&b<c>\"'\t\x01 \xE4\xF6\xFC\xDF";
    {
        auto w = writer(0);
        w->createElement("r");
        w->setAttribute("v", text);
        w->createElement("t");
        w->setText(text);
        w->back();
        w->createElement("c");
        w->setText("<&>]]>", true);
        w->back();
        w->back();
    } // the destructor closes
    XmlDocument document;
    ASSERT_TRUE(document.readBytes("<?xml version=\"1.0\" encoding=\"utf-8\"?>" + out, "w"));
    const XmlNode& r = *document.element("r");
    EXPECT_EQ(r.attribute("v"), text);
    EXPECT_EQ(r.children.at(0)->text(), text);
    EXPECT_EQ(r.children.at(1)->text(), "<&>]]>");
}

// Documents read with a doctype write it back; a byte order mark needs UTF-8.
TEST(XmlHeader, DeclarationAndDoctype) {
    XmlFormat format;
    EXPECT_EQ(xmlHeader(format, false), "<?xml version=\"1.0\" encoding=\"utf-8\"?>");
    format.bom = true;
    format.standalone = 1;
    format.lineEnd = "\r\n";
    format.doctype = {"html", "-//W3C//DTD", "x.dtd"};
    EXPECT_EQ(xmlHeader(format, true),
              "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\r\n"
              "<!DOCTYPE html PUBLIC \"-//W3C//DTD\"\r\n \"x.dtd\">\r\n");
    format.encoding = "iso-8859-1";
    EXPECT_THROW(xmlHeader(format, false), Plinth::Exception);
}
