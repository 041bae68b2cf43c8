#include "framework/Exception.h"
#include "xml/XmlStreamWriter.h"

#include <gtest/gtest.h>

using namespace kelvane;

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
