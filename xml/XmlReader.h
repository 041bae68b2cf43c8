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
    // Elements become children of root; they and their attributes live in
    // arena, which outlives them.
    XmlTreeBuilder(XmlNode& root, XmlArena& arena);
    XmlArena& arena() const { return arena_; }

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

    XmlArena& arena_;
    std::vector<XmlNode*> open_; // the root holder first
    std::string pending_;
    Event last_ = Event::none;
};

class XmlTextReader {
public:
    XmlTextReader(XmlTreeBuilder& builder, XmlFormat& format, std::vector<XmlError>& errors,
                  std::string sourceName);

    // kept: the bytes stay where they are for as long as the tree lives (a
    // document's own copy), so attributes may point into them.
    void read(std::string_view bytes, bool kept = false);

private:
    // Moves over the next count bytes, counting lines and columns.
    void take(size_t count);
    void skipLineEnd();
    void gatherText(size_t end);
    // Tag text in UTF-8: a view of the input when it is UTF-8 already, else
    // converted into scratch_.
    std::string_view tagText(size_t begin, size_t end);
    // "<?", "<!" and end tags, which end at their first ">".
    void handleTag(size_t tagEnd);
    void readStartTagAt(size_t begin);
    void readDeclaration(std::string_view tag, size_t nameEnd);
    void readStylesheet(std::string_view tag, size_t nameEnd);
    void readDoctype(std::string_view tag);
    // Reads attributes from tag[at]; records the first error and stops there.
    XmlAttributes readAttributes(std::string_view tag, size_t at);
    // The attributes from text[at]: of a closed tag text, which ends with
    // its ">", or of an open one, which runs to the next "<"; for an open one
    // end becomes the index of the tag's ">", found as the values are read.
    // The first error, or nullptr; the attributes read before it are set.
    // An open tag with an error is read again as a closed one.
    const char* scanAttributes(std::string_view text, size_t at, bool open,
                               XmlAttributes& attributes, size_t& end);
    void recordError(const char* message);

    XmlTreeBuilder& builder_;
    XmlFormat& format_;
    std::vector<XmlError>& errors_;
    std::string sourceName_;

    std::string_view input_;
    bool kept_ = false;
    size_t pos_ = 0;
    uint32_t line_ = 1;
    uint32_t column_ = 1;
    char lineEndStart_ = 0; // the CR or LF that began the line end just taken
    bool utf8_ = false;
    std::string scratch_;
    // Kept, so that tags and decoded values take no allocation for them.
    std::vector<std::pair<std::string_view, std::string_view>> found_;
    std::string decoded_;
};

// The length of the element or attribute name at the start of text.
size_t xmlNameLength(std::string_view text);

} // namespace kelvane
