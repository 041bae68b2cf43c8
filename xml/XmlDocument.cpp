#include "xml/XmlDocument.h"

#include "xml/XmlReader.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace kelvane {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool readWholeFile(const std::string& path, std::string& bytes) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return false;
    }
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        bytes.append(buffer, got);
    }
    return !std::ferror(file.get());
}

} // namespace

bool XmlDocument::readFile(const std::string& path) {
    std::string bytes;
    if (!readWholeFile(path, bytes)) {
        root_.children.clear();
        arena_.clear();
        format_ = XmlFormat();
        errors_.assign(1, XmlError{"cannot read file", path, 1, 1});
        return false;
    }
    return readBytes(bytes, path);
}

bool XmlDocument::readBytes(std::string_view bytes, const std::string& sourceName) {
    root_.children.clear();
    arena_.clear();
    root_.leading.clear();
    root_.content.clear();
    root_.endLeading.clear();
    root_.trailing.clear();
    XmlFormat read;
    read.lineEnd.clear(); // recorded only when the text has one
    errors_.clear();
    XmlTreeBuilder builder(root_, arena_);
    XmlTextReader reader(builder, read, errors_, sourceName);
    // The document's own copy of its text, into which attributes point.
    char* own = bytes.empty() ? nullptr : static_cast<char*>(arena_.allocate(bytes.size(), 1));
    if (own) {
        std::memcpy(own, bytes.data(), bytes.size());
    }
    reader.read(std::string_view(own, bytes.size()), true);
    if (read.lineEnd.empty()) {
        read.lineEnd = format_.lineEnd;
    }
    format_ = std::move(read);
    return errors_.empty();
}

const XmlNode* XmlDocument::element(std::string_view name) const {
    for (const auto& child : root_.children) {
        if (child->name == name) {
            return child.get();
        }
    }
    return nullptr;
}

void XmlCursor::moveTo(const XmlNode& node) {
    earlier_.push_back(current_);
    current_ = &node;
}

bool XmlCursor::goToPath(std::string_view path) {
    return goToPath(parseXmlPath(path));
}

bool XmlCursor::goToPath(const XmlPath& path) {
    const XmlNode* found = (path.absolute ? root_ : current_)->findByPath(path);
    if (!found) {
        return false;
    }
    moveTo(*found);
    return true;
}

bool XmlCursor::goDown(std::string_view name, int32_t index) {
    XmlPathStep step;
    step.name = std::string(name);
    step.index = index;
    const XmlNode* found = current_->findChild(step);
    if (!found) {
        return false;
    }
    moveTo(*found);
    return true;
}

void XmlCursor::back() {
    if (earlier_.empty()) {
        current_ = root_;
        return;
    }
    current_ = earlier_.back();
    earlier_.pop_back();
}

} // namespace kelvane
