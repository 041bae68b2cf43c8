#include "framework/Exception.h"
#include "xml/XmlDocument.h"
#include "xml/XmlStreamWriter.h"

#include <gtest/gtest.h>

using namespace kelvane;

TEST(XmlWriter, WrittenTextReadsBack) {
    const std::string text = "a&b<c>\"'\t\x01 \xE4\xF6\xFC\xDF";
    std::string out;
    {
        XmlFormat compact;
        compact.prettyMode = 0;
        auto w = std::make_unique<XmlStreamWriter>(std::make_unique<XmlStringOutput>(out), compact);
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
