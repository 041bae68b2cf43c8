#include "xml/XmlStreamWriter.h"

#include "framework/Exception.h"
#include "xml/XmlText.h"

#include <algorithm>

namespace kelvane {

namespace {
constexpr size_t flushSize = 64 * 1024;
}

XmlStreamWriter::XmlStreamWriter(std::unique_ptr<XmlOutput> output, XmlFormat format)
    : output_(std::move(output)), format_(std::move(format)) {
    buffer_.reserve(flushSize + 4096);
}

XmlStreamWriter::~XmlStreamWriter() {
    if (!closed_) {
        try {
            close();
        } catch (...) {
            // A destructor cannot report; callers who care call close().
        }
    }
}

void XmlStreamWriter::flushIfFull() {
    if (buffer_.size() >= flushSize) {
        output_->write(buffer_);
        buffer_.clear();
    }
}

void XmlStreamWriter::writeHeader(bool lineEnds) {
    buffer_ += xmlHeader(format_, lineEnds);
}

void XmlStreamWriter::breakLine(size_t depth) {
    if (format_.prettyMode >= 1) {
        buffer_ += format_.lineEnd;
    }
    if (format_.prettyMode == 2) {
        buffer_.append(2 * (depth - 1), ' ');
    }
}

void XmlStreamWriter::writeAttributes(Open& element) {
    for (size_t i = 0; i < element.attributeCount; ++i) {
        const auto& [name, value] = element.attributes[i];
        buffer_ += ' ';
        appendXmlText(buffer_, name);
        buffer_ += "=\"";
        appendXmlText(buffer_, value);
        buffer_ += '"';
    }
    element.state = attributesWritten;
}

void XmlStreamWriter::createElement(std::string_view name) {
    if (depth_ > 0) {
        Open& parent = current();
        if (parent.state == startOpened) {
            writeAttributes(parent);
        }
        if (parent.state < startClosed) {
            buffer_ += '>';
            parent.state = startClosed;
        }
        parent.hasChildren = true;
    }
    if (depth_ == open_.size()) {
        open_.emplace_back();
    }
    Open& element = open_[depth_++];
    element.name.assign(name);
    element.attributeCount = 0;
    element.text.clear();
    element.hasChildren = false;
    element.state = startOpened;
    breakLine(depth_);
    buffer_ += '<';
    appendXmlText(buffer_, name);
    flushIfFull();
}

void XmlStreamWriter::setAttribute(std::string name, std::string value) {
    if (depth_ == 0 || current().state != startOpened) {
        throw Plinth::Exception(0, "xml writer: attribute after the start tag was written");
    }
    Open& element = current();
    auto& attributes = element.attributes;
    const auto set = attributes.begin() + static_cast<std::ptrdiff_t>(element.attributeCount);
    auto at = std::lower_bound(
        attributes.begin(), set, name,
        [](const auto& entry, const std::string& key) { return entry.first < key; });
    if (at != set && at->first == name) {
        at->second = std::move(value);
        return;
    }
    // Into the first unused entry (its strings keep their room), then moved
    // to its place.
    const size_t position = static_cast<size_t>(at - attributes.begin());
    if (element.attributeCount == attributes.size()) {
        attributes.emplace_back();
    }
    auto& slot = attributes[element.attributeCount];
    slot.first = std::move(name);
    slot.second = std::move(value);
    std::rotate(attributes.begin() + static_cast<std::ptrdiff_t>(position),
                attributes.begin() + static_cast<std::ptrdiff_t>(element.attributeCount),
                attributes.begin() + static_cast<std::ptrdiff_t>(element.attributeCount) + 1);
    ++element.attributeCount;
}

void XmlStreamWriter::setText(std::string_view text, bool asCdata) {
    setEncodedText(encodeXmlText(text, asCdata));
}

void XmlStreamWriter::setEncodedText(std::string text) {
    if (depth_ == 0) {
        throw Plinth::Exception(0, "xml writer: text without an open element");
    }
    current().text = std::move(text);
}

void XmlStreamWriter::back() {
    if (depth_ == 0) {
        throw Plinth::Exception(0, "xml writer: no open element to close");
    }
    Open& element = current();
    if (element.state == startOpened) {
        writeAttributes(element);
    }
    if (!element.hasChildren && element.text.empty()) {
        buffer_ += "/>";
    } else {
        if (element.state < startClosed) {
            buffer_ += '>';
        }
        buffer_ += element.text;
        if (element.text.empty()) {
            breakLine(depth_);
        }
        buffer_ += "</";
        appendXmlText(buffer_, element.name);
        buffer_ += '>';
    }
    --depth_;
    flushIfFull();
}

void XmlStreamWriter::close() {
    if (closed_) {
        return;
    }
    closed_ = true;
    buffer_ += format_.lineEnd;
    output_->write(buffer_);
    buffer_.clear();
    output_->close();
}

} // namespace kelvane
