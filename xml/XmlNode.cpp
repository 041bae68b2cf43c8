#include "xml/XmlNode.h"

#include "xml/AnsiCodePage.h"
#include "xml/XmlText.h"

#include <algorithm>

namespace kelvane {

XmlAttributes::Slot XmlAttributes::append(std::string_view name, std::string_view value) {
    Slot slot{text_.size(), name.size(), text_.size() + name.size(), value.size()};
    text_.append(name);
    text_.append(value);
    return slot;
}

void XmlAttributes::set(std::string_view name, std::string_view value) {
    if (index_.empty() || nameOf(index_.back()) < name) {
        index_.push_back(append(name, value));
        return;
    }
    auto at = std::lower_bound(
        index_.begin(), index_.end(), name,
        [this](const Slot& slot, std::string_view key) { return nameOf(slot) < key; });
    if (at != index_.end() && nameOf(*at) == name) {
        // The old value stays in the buffer unused; values are rarely replaced.
        at->value = text_.size();
        at->valueSize = value.size();
        text_.append(value);
    } else {
        const size_t position = static_cast<size_t>(at - index_.begin());
        const Slot slot = append(name, value);
        index_.insert(index_.begin() + static_cast<std::ptrdiff_t>(position), slot);
    }
}

std::optional<std::string_view> XmlAttributes::find(std::string_view name) const {
    auto at = std::lower_bound(
        index_.begin(), index_.end(), name,
        [this](const Slot& slot, std::string_view key) { return nameOf(slot) < key; });
    if (at == index_.end() || nameOf(*at) != name) {
        return std::nullopt;
    }
    return std::string_view(text_.data() + at->value, at->valueSize);
}

XmlNode::~XmlNode() {
    if (children.empty()) {
        return;
    }
    // Leaves are freed at once; only nodes with children of their own wait
    // in the list, so a wide tree needs no long list.
    std::vector<std::unique_ptr<XmlNode>> pending;
    auto release = [&pending](std::vector<std::unique_ptr<XmlNode>>& nodes) {
        for (auto& node : nodes) {
            if (node->children.empty()) {
                node.reset();
            } else {
                pending.push_back(std::move(node));
            }
        }
        nodes.clear();
    };
    release(children);
    while (!pending.empty()) {
        std::unique_ptr<XmlNode> node = std::move(pending.back());
        pending.pop_back();
        release(node->children);
        // node goes here with no children left.
    }
}

XmlNode& XmlNode::appendChild(std::unique_ptr<XmlNode> child) {
    children.push_back(std::move(child));
    return *children.back();
}

std::string XmlNode::attribute(std::string_view attributeName, std::string_view fallback) const {
    const std::optional<std::string_view> value = attributes.find(attributeName);
    return std::string(value ? *value : fallback);
}

std::string XmlNode::text() const {
    // The inner text of a whole CDATA section is literal: decoding it would
    // resolve entities that the section was meant to protect.
    return cdata ? utf8ToAnsi(content) : decodeXmlText(content);
}

std::vector<const XmlNode*> XmlNode::childrenByName(std::string_view childName) const {
    std::vector<const XmlNode*> found;
    for (const auto& child : children) {
        if (child->name == childName) {
            found.push_back(child.get());
        }
    }
    return found;
}

const XmlNode* XmlNode::findChild(const XmlPathStep& step) const {
    int32_t counter = 0;
    for (const auto& child : children) {
        if (step.name != "*" && child->name != step.name) {
            continue;
        }
        bool passes = true;
        for (const auto& [filterName, filterValue] : step.filters) {
            const std::optional<std::string_view> value = child->attributes.find(filterName);
            if (value.value_or(std::string_view()) != filterValue) {
                passes = false;
                break;
            }
        }
        if (!passes) {
            continue;
        }
        if (step.index < 0 || counter == step.index) {
            return child.get();
        }
        ++counter;
    }
    return nullptr;
}

const XmlNode* XmlNode::findByPath(const XmlPath& path) const {
    const XmlNode* node = this;
    for (const XmlPathStep& step : path.steps) {
        node = node->findChild(step);
        if (!node) {
            return nullptr;
        }
    }
    return node;
}

std::string XmlNode::textAtPath(const XmlPath& path) const {
    const XmlNode* node = findByPath(path);
    return node ? node->text() : std::string();
}

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void skipSpace(std::string_view& text) {
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
}

// The "]" that closes a bracket whose text starts text: the first one outside
// quotes, since a filter value may hold "]" (as it may hold "/").
size_t bracketEnd(std::string_view text) {
    char quote = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            quote = c == quote ? 0 : quote;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ']') {
            return i;
        }
    }
    return text.size();
}

// The filters of "[@a='x' and @b="y"]"; text is what lies inside the brackets.
void parseFilters(std::string_view text, XmlPathStep& step) {
    while (!text.empty() && text.front() == '@') {
        text.remove_prefix(1);
        const size_t equals = text.find('=');
        if (equals == std::string_view::npos || equals + 1 >= text.size()) {
            return;
        }
        std::string name(text.substr(0, equals));
        const char quote = text[equals + 1];
        if (quote != '"' && quote != '\'') {
            return;
        }
        text.remove_prefix(equals + 2);
        const size_t close = text.find(quote);
        if (close == std::string_view::npos) {
            step.filters[name] = std::string(text);
            return;
        }
        step.filters[name] = std::string(text.substr(0, close));
        text.remove_prefix(close + 1);
        skipSpace(text);
        if (text.substr(0, 4) == "and ") {
            text.remove_prefix(4);
        }
    }
}

XmlPathStep parseStep(std::string_view text) {
    XmlPathStep step;
    const size_t open = text.find('[');
    step.name = std::string(text.substr(0, open));
    if (open == std::string_view::npos) {
        return step;
    }
    std::string_view inside = text.substr(open + 1);
    inside = inside.substr(0, bracketEnd(inside));
    skipSpace(inside);
    if (!inside.empty() && inside.front() >= '0' && inside.front() <= '9') {
        int64_t n = 0;
        for (size_t i = 0; i < inside.size() && inside[i] >= '0' && inside[i] <= '9'; ++i) {
            n = std::min<int64_t>(n * 10 + (inside[i] - '0'), INT32_MAX);
        }
        if (n != 0) {
            step.index = static_cast<int32_t>(n - 1);
        }
    } else {
        parseFilters(inside, step);
    }
    return step;
}

// The end of the step that starts at from: the next "/" outside brackets, so
// that a filter value may hold a slash.
size_t stepEnd(std::string_view text, size_t from) {
    for (size_t i = from; i < text.size(); ++i) {
        if (text[i] == '[') {
            i += 1 + bracketEnd(text.substr(i + 1));
        } else if (text[i] == '/') {
            return i;
        }
    }
    return text.size();
}

} // namespace

XmlPath parseXmlPath(std::string_view text) {
    XmlPath path;
    if (!text.empty() && text.front() == '/') {
        path.absolute = true;
        text.remove_prefix(1);
    }
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = stepEnd(text, at);
        if (end == at) {
            break;
        }
        path.steps.push_back(parseStep(text.substr(at, end - at)));
        at = end < text.size() ? end + 1 : end;
    }
    return path;
}

} // namespace kelvane
