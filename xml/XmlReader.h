#pragma once
// Reading XML text into a tree: the text reader walks the bytes, keeps the
// line and column and the prologue's format, and tells the tree builder
// about texts, start tags and end tags.
#include "xml/XmlFormat.h"
#include "xml/XmlNode.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

class XmlTreeBuilder {
public:
    // Elements become children of root.
    explicit XmlTreeBuilder(XmlNode& root);

    void text(std::string_view raw);
    void startElement(std::string name, XmlAttributes attributes);
    // False, and nothing closed, when no element is open.
    bool endElement();
    // The end of the input: leaves open elements as they are.
    void finish();

private:
    enum class Event { none, start, end };

    // Where text between tags belongs: the last child's trailing piece, or
    // the current node's content while it has no child.
    void distribute(XmlNode& current, std::string_view part);

    std::vector<XmlNode*> open_; // the root holder first
    std::string pending_;
    Event last_ = Event::none;
};

class XmlTextReader {
public:
    XmlTextReader(XmlTreeBuilder& builder, XmlFormat& format, std::vector<XmlError>& errors,
                  std::string sourceName);

    void read(std::string_view bytes);

private:
    // Moves over the next count bytes, counting lines and columns.
    void take(size_t count);
    void skipLineEnd();
    void gatherText(size_t end);
    // Tag text in UTF-8: a view of the input when it is UTF-8 already, else
    // converted into scratch_.
    std::string_view tagText(size_t begin, size_t end);
    void handleTag(size_t tagEnd);
    void readStartTag(std::string_view tag);
    void readDeclaration(std::string_view tag, size_t nameEnd);
    void readStylesheet(std::string_view tag, size_t nameEnd);
    void readDoctype(std::string_view tag);
    // Reads attributes from tag[at]; records the first error and stops there.
    XmlAttributes readAttributes(std::string_view tag, size_t at);
    void recordError(const char* message);

    XmlTreeBuilder& builder_;
    XmlFormat& format_;
    std::vector<XmlError>& errors_;
    std::string sourceName_;

    std::string_view input_;
    size_t pos_ = 0;
    uint32_t line_ = 1;
    uint32_t column_ = 1;
    char lineEndStart_ = 0; // the CR or LF that began the line end just taken
    bool utf8_ = false;
    std::string scratch_;
};

// The length of the element or attribute name at the start of text.
size_t xmlNameLength(std::string_view text);

} // namespace kelvane
