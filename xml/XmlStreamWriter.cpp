#include "xml/XmlStreamWriter.h"

#include "framework/Exception.h"
#include "xml/XmlText.h"

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
    for (const auto& [name, value] : element.attributes) {
        buffer_ += ' ';
        appendXmlText(buffer_, name);
        buffer_ += "=\"";
        appendXmlText(buffer_, value);
        buffer_ += '"';
    }
    element.state = attributesWritten;
}

void XmlStreamWriter::createElement(std::string_view name) {
    if (!open_.empty()) {
        Open& parent = open_.back();
        if (parent.state == startOpened) {
            writeAttributes(parent);
        }
        if (parent.state < startClosed) {
            buffer_ += '>';
            parent.state = startClosed;
        }
        parent.hasChildren = true;
    }
    open_.emplace_back();
    open_.back().name = std::string(name);
    breakLine(open_.size());
    buffer_ += '<';
    appendXmlText(buffer_, name);
    flushIfFull();
}

void XmlStreamWriter::setAttribute(std::string name, std::string value) {
    if (open_.empty() || open_.back().state != startOpened) {
        throw Plinth::Exception(0, "xml writer: attribute after the start tag was written");
    }
    open_.back().attributes.set(name, value);
}

void XmlStreamWriter::setText(std::string_view text, bool asCdata) {
    setEncodedText(encodeXmlText(text, asCdata));
}

void XmlStreamWriter::setEncodedText(std::string text) {
    if (open_.empty()) {
        throw Plinth::Exception(0, "xml writer: text without an open element");
    }
    open_.back().text = std::move(text);
}

void XmlStreamWriter::back() {
    if (open_.empty()) {
        throw Plinth::Exception(0, "xml writer: no open element to close");
    }
    Open& element = open_.back();
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
            breakLine(open_.size());
        }
        buffer_ += "</";
        appendXmlText(buffer_, element.name);
        buffer_ += '>';
    }
    open_.pop_back();
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
