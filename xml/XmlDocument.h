#pragma once
// A document read from a file or from bytes, and the cursor that walks it.
#include "xml/XmlFormat.h"
#include "xml/XmlNode.h"

#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

class XmlDocument {
public:
    XmlDocument() = default;
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Both replace the tree, format and errors; true when no error was
    // recorded. A file that cannot be opened is one error at line 1.
    bool readFile(const std::string& path);
    bool readBytes(std::string_view bytes, const std::string& sourceName);

    // The unnamed holder whose children are the top-level elements.
    XmlNode& root() { return root_; }
    const XmlNode& root() const { return root_; }
    XmlFormat& format() { return format_; }
    const XmlFormat& format() const { return format_; }
    const std::vector<XmlError>& errors() const { return errors_; }

    // The first top-level element of that name, or nothing.
    const XmlNode* element(std::string_view name) const;

private:
    XmlArena arena_; // before the tree, which it outlives
    XmlNode root_;
    XmlFormat format_;
    std::vector<XmlError> errors_;
};

class XmlCursor {
public:
    explicit XmlCursor(const XmlNode& root) : root_(&root), current_(&root) {}
    explicit XmlCursor(const XmlDocument& document) : XmlCursor(document.root()) {}

    const XmlNode& current() const { return *current_; }

    // On success the old current node is kept for back(); on failure the
    // cursor stays.
    bool goToPath(std::string_view path);
    bool goToPath(const XmlPath& path);
    // A child by name and 0-based index among those of that name (-1: the
    // first).
    bool goDown(std::string_view name, int32_t index = 0);
    // Returns to the node before the last move; stays at the root when there
    // was none.
    void back();

private:
    void moveTo(const XmlNode& node);

    const XmlNode* root_;
    const XmlNode* current_;
    std::vector<const XmlNode*> earlier_;
};

} // namespace kelvane
