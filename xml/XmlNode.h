#pragma once
// One element of an XML tree, with the raw text around it kept as it stood in
// the file, and the slash paths that find elements below a node.
#include "xml/XmlArena.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelvane {

// Attribute name to value, ordered by byte-wise name; a name occurs once.
// The index is a sorted vector: an element carries a handful of attributes,
// mostly read in order, and a baseline carries thousands of elements. The
// attributes of a document's elements live in the document's arena and
// mostly point into the document's own copy of its text; others keep their
// texts in an arena of their own.
class XmlAttributes {
public:
    using Entry = std::pair<std::string_view, std::string_view>;

    explicit XmlAttributes(XmlArena* arena = nullptr)
        : index_(XmlArenaAllocator<Slot>(arena)), arena_(arena) {}
    // A copy keeps its texts itself, so it may outlive the document.
    XmlAttributes(const XmlAttributes& other);
    XmlAttributes& operator=(const XmlAttributes& other);
    XmlAttributes(XmlAttributes&& other) noexcept;
    XmlAttributes& operator=(XmlAttributes&& other) noexcept;

    class const_iterator {
    public:
        Entry operator*() const { return owner_->entry(at_); }
        const_iterator& operator++() {
            ++at_;
            return *this;
        }
        bool operator!=(const const_iterator& other) const { return at_ != other.at_; }
        bool operator==(const const_iterator& other) const { return at_ == other.at_; }

    private:
        friend class XmlAttributes;
        const_iterator(const XmlAttributes* owner, size_t at) : owner_(owner), at_(at) {}
        const XmlAttributes* owner_;
        size_t at_;
    };

    // Copies name and value.
    void set(std::string_view name, std::string_view value);
    // Takes them as they are: they stay where they lie for as long as these
    // attributes live (a document's text for its elements).
    void setKept(std::string_view name, std::string_view value);
    // Nothing when absent.
    std::optional<std::string_view> find(std::string_view name) const;

    // Room for count attributes.
    void reserve(size_t count) { index_.reserve(count); }
    bool empty() const { return index_.empty(); }
    size_t size() const { return index_.size(); }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, index_.size()}; }

private:
    struct Slot {
        const char* name;
        const char* value;
        uint32_t nameSize;
        uint32_t valueSize;
    };
    static std::string_view nameOf(const Slot& slot) { return {slot.name, slot.nameSize}; }
    Entry entry(size_t at) const {
        const Slot& slot = index_[at];
        return {nameOf(slot), {slot.value, slot.valueSize}};
    }
    // A copy of text in the arena.
    std::string_view keep(std::string_view text);

    std::vector<Slot, XmlArenaAllocator<Slot>> index_;
    std::unique_ptr<XmlArena> own_; // for attributes outside a document
    XmlArena* arena_;               // where copies go: a document's, or own_
};

struct XmlPathStep {
    std::string name; // "*" matches any name
    std::map<std::string, std::string> filters;
    int32_t index = -1; // -1: no index; else 0-based among the matches
};

struct XmlPath {
    bool absolute = false;
    std::vector<XmlPathStep> steps;
};

// "a/b[2]/c[@x='1' and @y='2']" and the like; reading stops quietly at an
// empty step.
XmlPath parseXmlPath(std::string_view text);

class XmlNode;

// Owns a node: one made in a document's arena is only destroyed, since its
// memory goes with the arena.
struct XmlNodeDeleter {
    bool inArena = false;
    void operator()(XmlNode* node) const;
};
using XmlNodePtr = std::unique_ptr<XmlNode, XmlNodeDeleter>;

// A node of that name, in the arena when there is one.
XmlNodePtr makeXmlNode(std::string name, XmlArena* arena = nullptr);

class XmlNode {
public:
    XmlNode() = default;
    explicit XmlNode(std::string name) : name(std::move(name)) {}
    XmlNode(const XmlNode&) = delete;
    XmlNode& operator=(const XmlNode&) = delete;
    // Frees the subtree without recursion: a hostile file may nest deeply.
    ~XmlNode();

    std::string name;         // ANSI
    XmlAttributes attributes; // ANSI, decoded
    std::vector<XmlNodePtr> children;
    // Raw UTF-8 text pieces: before the start tag, after it up to the first
    // child or end tag (all of an element without children), the blanks
    // before the end tag of an element with children, and after the end tag.
    std::string leading;
    std::string content;
    std::string endLeading;
    std::string trailing;
    // The whole text before the end tag was one CDATA section; content then
    // holds its inner text.
    bool cdata = false;

    XmlNode& appendChild(XmlNodePtr child);

    // The attribute's value, or fallback when there is none.
    std::string attribute(std::string_view attributeName, std::string_view fallback = {}) const;
    // The content piece as ANSI text.
    std::string text() const;
    std::vector<const XmlNode*> childrenByName(std::string_view childName) const;

    const XmlNode* findChild(const XmlPathStep& step) const;
    const XmlNode* findByPath(const XmlPath& path) const;
    // The text of the node the path reaches; empty when there is none.
    std::string textAtPath(const XmlPath& path) const;
};

} // namespace kelvane
