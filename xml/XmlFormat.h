#pragma once
// What a document's prologue says, and how a document is laid out when
// written: read into a document, handed to a writer.
#include <cstdint>
#include <string>
#include <vector>

namespace kelvane {

// 0: no line breaks; 1: a line end before each start tag and before the end
// tag of an element without text; 2: as 1, indented by two spaces a level.
using PrettyMode = int32_t;

struct XmlStylesheetRef {
    std::string href;
    std::string type;
    std::string title;
    std::string media;
    std::string charset;
    bool alternate = false;
};

struct XmlDoctype {
    std::string name;
    std::string publicId;
    std::string systemId;
};

struct XmlFormat {
    PrettyMode prettyMode = 2;
    std::string lineEnd = "\n";
    std::string version = "1.0";
    std::string encoding = "utf-8";
    bool bom = false;
    XmlDoctype doctype;
    std::vector<XmlStylesheetRef> styleSheets;
    int32_t standalone = -1; // -1 not given, 1 "yes", 0 anything else
};

struct XmlError {
    std::string message;
    std::string sourceName;
    uint32_t line = 1;
    uint32_t column = 1;
};

// The declaration, doctype and style-sheet instructions of format, each
// followed by its line end when lineEnds is set. A byte order mark with an
// encoding other than UTF-8 throws: no reader could take such a file.
std::string xmlHeader(const XmlFormat& format, bool lineEnds);

// True when a and b are equal ignoring ASCII letter case.
bool equalsIgnoringCase(const std::string& a, const char* b);

} // namespace kelvane
