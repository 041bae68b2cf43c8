#pragma once
// Writes XML as the caller builds it, element by element, without a tree.
#include "xml/XmlFormat.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelvane {

// Where the writer's bytes go. Both calls throw when the bytes cannot be
// kept.
class XmlOutput {
public:
    virtual ~XmlOutput() = default;
    virtual void write(std::string_view bytes) = 0;
    virtual void close() = 0;
};

// Bytes collected in a string the caller owns.
class XmlStringOutput : public XmlOutput {
public:
    explicit XmlStringOutput(std::string& target) : target_(target) {}
    void write(std::string_view bytes) override { target_.append(bytes); }
    void close() override {}

private:
    std::string& target_;
};

class XmlStreamWriter {
public:
    XmlStreamWriter(std::unique_ptr<XmlOutput> output, XmlFormat format);
    XmlStreamWriter(const XmlStreamWriter&) = delete;
    XmlStreamWriter& operator=(const XmlStreamWriter&) = delete;
    // Closes when close() was not called; failures are then lost.
    ~XmlStreamWriter();

    void writeHeader(bool lineEnds);
    // Opens a child of the current element and makes it current.
    void createElement(std::string_view name);
    // Allowed until the element's first child or its end: afterwards the
    // start tag is written already, and that is a caller error (throws).
    void setAttribute(std::string name, std::string value);
    // ANSI text, escaped on the way out.
    void setText(std::string_view text, bool asCdata = false);
    // Text that is already in file form.
    void setEncodedText(std::string text);
    // Closes the current element; throws when none is open.
    void back();
    // The final line end; then the output is closed. Throws on a failed
    // write.
    void close();

    size_t depth() const { return depth_; }

private:
    enum State { startOpened = 0, attributesWritten = 1, startClosed = 2 };
    // The entries of the open elements stay for the next element at their
    // depth, so that a long list of siblings (a baseline's rows) reuses their
    // room instead of allocating it again for each.
    struct Open {
        std::string name;
        // Name and value, by byte-wise name; the first attributeCount are set.
        std::vector<std::pair<std::string, std::string>> attributes;
        size_t attributeCount = 0;
        std::string text;
        bool hasChildren = false;
        State state = startOpened;
    };
    Open& current() { return open_[depth_ - 1]; }

    void writeAttributes(Open& element);
    void breakLine(size_t depth);
    void flushIfFull();

    std::unique_ptr<XmlOutput> output_;
    XmlFormat format_;
    std::vector<Open> open_;
    size_t depth_ = 0; // open elements
    std::string buffer_;
    bool closed_ = false;
};

} // namespace kelvane
