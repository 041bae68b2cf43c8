#pragma once
// One element of an XML tree, with the raw text around it kept as it stood in
// the file, and the slash paths that find elements below a node.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelvane {

// Attribute name to value, ordered by byte-wise name; a name occurs once.
// A sorted vector: elements carry a handful of attributes, mostly read in
// order, so this beats a node-based map on time and memory.
class XmlAttributes {
public:
    using Entry = std::pair<std::string, std::string>;

    void set(std::string name, std::string value);
    // Nothing when absent.
    const std::string* find(std::string_view name) const;

    void reserve(size_t count) { entries_.reserve(count); }
    bool empty() const { return entries_.empty(); }
    size_t size() const { return entries_.size(); }
    std::vector<Entry>::const_iterator begin() const { return entries_.begin(); }
    std::vector<Entry>::const_iterator end() const { return entries_.end(); }

private:
    std::vector<Entry> entries_;
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
    std::vector<std::unique_ptr<XmlNode>> children;
    // Raw UTF-8 text pieces: before the start tag, after it up to the first
    // child or end tag, before the end tag, and after the end tag.
    std::string leading;
    std::string content;
    std::string endLeading;
    std::string trailing;
    // The whole text before the end tag was one CDATA section; content then
    // holds its inner text.
    bool cdata = false;

    XmlNode& appendChild(std::unique_ptr<XmlNode> child);

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
