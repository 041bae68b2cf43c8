#include "xml/XmlNode.h"

#include "xml/AnsiCodePage.h"
#include "xml/XmlText.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace kelvane {

XmlAttributes::XmlAttributes(const XmlAttributes& other) : arena_(nullptr) {
    index_.reserve(other.index_.size());
    for (const Slot& slot : other.index_) {
        set(nameOf(slot), {slot.value, slot.valueSize});
    }
}

XmlAttributes::XmlAttributes(XmlAttributes&& other) noexcept
    : index_(std::move(other.index_)), own_(std::move(other.own_)), arena_(other.arena_) {
    if (own_) {
        other.arena_ = nullptr; // the arena went with the texts
    }
}

XmlAttributes& XmlAttributes::operator=(XmlAttributes&& other) noexcept {
    if (this != &other) {
        index_ = std::move(other.index_);
        own_ = std::move(other.own_);
        arena_ = other.arena_;
        if (own_) {
            other.arena_ = nullptr;
        }
    }
    return *this;
}

XmlAttributes& XmlAttributes::operator=(const XmlAttributes& other) {
    if (this != &other) {
        XmlAttributes copy(other);
        *this = std::move(copy);
    }
    return *this;
}

std::string_view XmlAttributes::keep(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    if (!arena_) {
        own_ = std::make_unique<XmlArena>();
        arena_ = own_.get();
    }
    char* copy = static_cast<char*>(arena_->allocate(text.size(), 1));
    std::memcpy(copy, text.data(), text.size());
    return {copy, text.size()};
}

namespace {

// Byte-wise, as unsigned characters, in place: names arrive mostly in order,
// so each is compared once with the one before.
inline bool lessBytes(std::string_view a, std::string_view b) {
    const size_t common = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x != y) {
            return x < y;
        }
    }
    return a.size() < b.size();
}

} // namespace

void XmlAttributes::set(std::string_view name, std::string_view value) {
    // A name already there keeps its text; only a new one is copied.
    auto at = index_.end();
    if (!index_.empty() && !lessBytes(nameOf(index_.back()), name)) {
        at = std::lower_bound(
            index_.begin(), index_.end(), name,
            [](const Slot& slot, std::string_view key) { return nameOf(slot) < key; });
    }
    const bool known = at != index_.end() && nameOf(*at) == name;
    setKept(known ? name : keep(name), keep(value));
}

void XmlAttributes::setKept(std::string_view name, std::string_view value) {
    if (name.size() > UINT32_MAX || value.size() > UINT32_MAX) {
        throw std::length_error("attribute beyond 4 GB");
    }
    const Slot slot{name.data(), value.data(), static_cast<uint32_t>(name.size()),
                    static_cast<uint32_t>(value.size())};
    if (index_.empty() || lessBytes(nameOf(index_.back()), name)) {
        index_.push_back(slot);
        return;
    }
    auto at = std::lower_bound(
        index_.begin(), index_.end(), name,
        [](const Slot& existing, std::string_view key) { return nameOf(existing) < key; });
    if (at != index_.end() && nameOf(*at) == name) {
        at->value = slot.value;
        at->valueSize = slot.valueSize;
    } else {
        index_.insert(at, slot);
    }
}

std::optional<std::string_view> XmlAttributes::find(std::string_view name) const {
    auto at =
        std::lower_bound(index_.begin(), index_.end(), name,
                         [](const Slot& slot, std::string_view key) { return nameOf(slot) < key; });
    if (at == index_.end() || nameOf(*at) != name) {
        return std::nullopt;
    }
    return std::string_view(at->value, at->valueSize);
}

XmlNode::~XmlNode() {
    if (children.empty()) {
        return;
    }
    // Leaves are freed at once; only nodes with children of their own wait
    // in the list, so a wide tree needs no long list.
    std::vector<XmlNodePtr> pending;
    auto release = [&pending](std::vector<XmlNodePtr>& nodes) {
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
        XmlNodePtr node = std::move(pending.back());
        pending.pop_back();
        release(node->children);
        // node goes here with no children left.
    }
}

void XmlNodeDeleter::operator()(XmlNode* node) const {
    if (inArena) {
        node->~XmlNode();
    } else {
        delete node;
    }
}

XmlNodePtr makeXmlNode(std::string name, XmlArena* arena) {
    if (!arena) {
        return XmlNodePtr(new XmlNode(std::move(name)));
    }
    void* memory = arena->allocate(sizeof(XmlNode), alignof(XmlNode));
    return XmlNodePtr(new (memory) XmlNode(std::move(name)), XmlNodeDeleter{true});
}

XmlNode& XmlNode::appendChild(XmlNodePtr child) {
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
