#include "xml/XmlReader.h"

#include "xml/AnsiCodePage.h"
#include "xml/XmlText.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace kelvane {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

size_t whitespaceSuffixStart(std::string_view text) {
    size_t start = text.size();
    while (start > 0 && isSpace(text[start - 1])) {
        --start;
    }
    return start;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

struct NameBytes {
    bool table[256] = {};
    constexpr NameBytes() {
        for (int c = 0; c < 256; ++c) {
            table[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '.' || c == '-' || c == '_' || c == ':';
        }
    }
};
constexpr NameBytes nameBytes;

bool isNameByte(unsigned char c) {
    return nameBytes.table[c];
}

// Bytes that are their own decoding: no "&", no "<", no "_" (an escaped
// byte starts with it) and nothing above 0x7F.
struct PlainBytes {
    bool table[256] = {};
    constexpr PlainBytes() {
        for (int c = 0; c < 0x80; ++c) {
            table[c] = c != '&' && c != '<' && c != '_';
        }
    }
};
constexpr PlainBytes plainBytes;

// The closing quote of the value that starts at begin, or stop; plain is
// cleared when a byte before it needs decoding. One pass, many bytes at a
// time while none of them is the quote or such a byte: attribute values are
// most of a settings file.
const char* valueEnd(const char* begin, const char* stop, char quote, bool& plain) {
    const char* p = begin;
#ifdef __SSE2__
    // Sixteen bytes at a time where the processor has the instructions (all
    // of x86-64).
    const __m128i quotes = _mm_set1_epi8(quote), ampersands = _mm_set1_epi8('&'),
                  brackets = _mm_set1_epi8('<'), underscores = _mm_set1_epi8('_');
    for (; stop - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i found = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(bytes, quotes), _mm_cmpeq_epi8(bytes, ampersands)),
            _mm_or_si128(_mm_cmpeq_epi8(bytes, brackets), _mm_cmpeq_epi8(bytes, underscores)));
        // The sign bit marks the bytes above 0x7F.
        if (_mm_movemask_epi8(_mm_or_si128(found, bytes)) != 0) {
            break; // the byte loop below finds which
        }
    }
#else
    constexpr uint64_t ones = 0x0101010101010101ull;
    constexpr uint64_t highs = 0x8080808080808080ull;
    auto hasByte = [](uint64_t word, unsigned char byte) {
        const uint64_t x = word ^ (ones * byte);
        return ((x - ones) & ~x & highs) != 0;
    };
    for (; stop - p >= 8; p += 8) {
        uint64_t word;
        std::memcpy(&word, p, 8);
        if (hasByte(word, static_cast<unsigned char>(quote)) || (word & highs) ||
            hasByte(word, '&') || hasByte(word, '<') || hasByte(word, '_')) {
            break; // the byte loop below finds which
        }
    }
#endif
    for (; p < stop; ++p) {
        if (*p == quote) {
            return p;
        }
        if (!plainBytes.table[static_cast<unsigned char>(*p)]) {
            plain = false;
        }
    }
    return stop;
}

// The first c in text from from on, or npos.
size_t find(std::string_view text, char c, size_t from) {
    if (from >= text.size()) {
        return std::string_view::npos;
    }
    const void* at = std::memchr(text.data() + from, c, text.size() - from);
    return at ? static_cast<size_t>(static_cast<const char*>(at) - text.data())
              : std::string_view::npos;
}

// The ">" that ends the start tag at the beginning of text: the first one
// outside quoted attribute values, since a value may hold ">". A value must
// close before the next "<" (a value holds none); one that does not ends the
// tag at its first ">", as if values could not hold one.
size_t startTagEnd(std::string_view text) {
    char quote = 0;
    for (size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote) {
                quote = 0;
            } else if (c == '<') {
                return text.find('>');
            }
        } else if (c == '>') {
            return i;
        } else if ((c == '"' || c == '\'') && text[i - 1] == '=') {
            quote = c;
        }
    }
    return quote ? text.find('>') : std::string_view::npos;
}

constexpr std::string_view cdataOpen = "<![CDATA[";
constexpr std::string_view cdataClose = "]]>";

} // namespace

size_t xmlNameLength(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (isNameByte(c)) {
            ++i;
        } else if (c == 0xC3 && i + 1 < text.size()) {
            // Latin-1 letters in UTF-8, such as an umlaut.
            i += 2;
        } else {
            break;
        }
    }
    return i;
}

// --- tree builder ---

XmlTreeBuilder::XmlTreeBuilder(XmlNode& root, XmlArena& arena) : arena_(arena) {
    open_.push_back(&root);
}

void XmlTreeBuilder::text(std::string_view raw) {
    pending_.append(raw);
}

void XmlTreeBuilder::distribute(XmlNode& current, std::string_view part) {
    if (current.children.empty()) {
        current.content.append(part);
    } else {
        current.children.back()->trailing.append(part);
    }
}

void XmlTreeBuilder::startElement(std::string name, XmlAttributes attributes) {
    XmlNodePtr node = makeXmlNode(std::move(name), &arena_);
    node->attributes = std::move(attributes);
    XmlNode& current = *open_.back();
    if (last_ == Event::none) {
        node->leading = std::move(pending_);
    } else {
        const std::string_view pending = pending_;
        const size_t split = whitespaceSuffixStart(pending);
        node->leading.assign(pending.substr(split));
        distribute(current, pending.substr(0, split));
    }
    pending_.clear();
    open_.push_back(&current.appendChild(std::move(node)));
    last_ = Event::start;
}

bool XmlTreeBuilder::endElement() {
    last_ = Event::end;
    if (open_.size() == 1) {
        // A stray end tag: the holder of the top-level elements stays open.
        distribute(*open_.back(), pending_);
        pending_.clear();
        return false;
    }
    XmlNode& current = *open_.back();
    const std::string_view pending = pending_;
    const bool wholeSection =
        current.children.empty() && pending.size() >= cdataOpen.size() + cdataClose.size() &&
        startsWith(pending, cdataOpen) && endsWith(pending, cdataClose) &&
        pending.find(cdataClose, cdataOpen.size()) == pending.size() - cdataClose.size();
    current.cdata = wholeSection;
    if (wholeSection) {
        distribute(current, pending.substr(cdataOpen.size(),
                                           pending.size() - cdataOpen.size() - cdataClose.size()));
    } else if (current.children.empty()) {
        // The element's whole text, trailing blanks included: "srv " is a
        // host name as typed, and a search text may be blanks alone.
        current.content.append(pending);
    } else {
        const size_t split = whitespaceSuffixStart(pending);
        current.endLeading.append(pending.substr(split));
        distribute(current, pending.substr(0, split));
    }
    pending_.clear();
    open_.pop_back();
    return true;
}

void XmlTreeBuilder::finish() {
    XmlNode& current = *open_.back();
    if (current.children.empty()) {
        current.trailing.append(pending_);
    } else {
        current.children.back()->trailing.append(pending_);
    }
    pending_.clear();
}

// --- text reader ---

XmlTextReader::XmlTextReader(XmlTreeBuilder& builder, XmlFormat& format,
                             std::vector<XmlError>& errors, std::string sourceName)
    : builder_(builder), format_(format), errors_(errors), sourceName_(std::move(sourceName)) {}

void XmlTextReader::take(size_t count) {
    const char* bytes = input_.data() + pos_;
    // Most runs of bytes hold no line end at all.
    if (count > 0 && !std::memchr(bytes, '\n', count) && !std::memchr(bytes, '\r', count)) {
        pos_ += count;
        column_ += static_cast<uint32_t>(count);
        lineEndStart_ = 0;
        return;
    }
    const size_t end = pos_ + count;
    for (; pos_ < end; ++pos_) {
        const char c = input_[pos_];
        if (c != '\r' && c != '\n') {
            ++column_;
            lineEndStart_ = 0;
        } else if (lineEndStart_ != 0 && lineEndStart_ != c) {
            // The second byte of a CR LF (or LF CR) pair: the same line end.
            lineEndStart_ = 0;
        } else {
            ++line_;
            column_ = 1;
            lineEndStart_ = c;
        }
    }
}

void XmlTextReader::skipLineEnd() {
    if (pos_ < input_.size() && input_[pos_] == '\r') {
        take(1);
        if (pos_ < input_.size() && input_[pos_] == '\n') {
            take(1);
        }
    } else if (pos_ < input_.size() && input_[pos_] == '\n') {
        take(1);
    }
}

void XmlTextReader::recordError(const char* message) {
    errors_.push_back(XmlError{message, sourceName_, line_, column_});
}

std::string_view XmlTextReader::tagText(size_t begin, size_t end) {
    const std::string_view raw = input_.substr(begin, end - begin);
    if (utf8_ || isAscii(raw)) {
        return raw;
    }
    scratch_ = platform::ansiToUtf8(raw);
    return scratch_;
}

void XmlTextReader::gatherText(size_t end) {
    const std::string_view raw = input_.substr(pos_, end - pos_);
    if (format_.lineEnd.empty()) {
        for (char c : raw) {
            if (c == '\n' || c == '\r') {
                format_.lineEnd = c == '\n' ? "\n" : "\r\n";
                break;
            }
        }
    }
    builder_.text(tagText(pos_, end));
    take(end - pos_);
}

void XmlTextReader::read(std::string_view bytes, bool kept) {
    input_ = bytes;
    kept_ = kept;
    if (startsWith(bytes, "\xEF\xBB\xBF")) {
        take(3);
        utf8_ = true;
        format_.bom = true;
    }
    while (pos_ < input_.size()) {
        const char* at =
            static_cast<const char*>(std::memchr(input_.data() + pos_, '<', input_.size() - pos_));
        const size_t lt = at ? static_cast<size_t>(at - input_.data()) : input_.size();
        if (lt > pos_) {
            gatherText(lt);
        }
        if (lt == input_.size()) {
            break;
        }
        const std::string_view rest = input_.substr(lt);
        // Comments and CDATA sections run to their own closing marks, past
        // any ">" inside them; unterminated ones run to the end.
        size_t end;
        if (rest.size() > 1 && rest[1] == '!' &&
            (startsWith(rest, "<!--") || startsWith(rest, cdataOpen))) {
            const bool comment = rest[1] == '!' && rest[2] == '-';
            const size_t close =
                comment ? rest.find("-->", 2) : rest.find(cdataClose, cdataOpen.size());
            end = close == std::string_view::npos ? input_.size() : lt + close + 3;
            builder_.text(tagText(lt, end));
            take(end - lt);
            continue;
        }
        if (rest.size() > 1 && rest[1] != '/' && rest[1] != '?' && rest[1] != '!') {
            readStartTagAt(lt);
            continue;
        }
        const size_t gt = rest.find('>');
        end = gt == std::string_view::npos ? input_.size() : lt + gt + 1;
        handleTag(end);
    }
    builder_.finish();
}

void XmlTextReader::handleTag(size_t tagEnd) {
    const size_t begin = pos_;
    const std::string_view tag = tagText(begin, tagEnd);
    take(tagEnd - begin);
    const char kind = tag.size() > 1 ? tag[1] : '\0';
    if (kind == '/') {
        if (!builder_.endElement()) {
            recordError("end tag without open element");
        }
        return;
    }
    if (startsWith(tag, "<?")) {
        const size_t nameEnd = 2 + xmlNameLength(tag.substr(2));
        const std::string_view name = tag.substr(2, nameEnd - 2);
        if (name == "xml") {
            readDeclaration(tag, nameEnd);
            skipLineEnd();
        } else if (name == "xml-stylesheet") {
            readStylesheet(tag, nameEnd);
            skipLineEnd();
        } else {
            builder_.text(tag);
        }
        return;
    }
    if (startsWith(tag, "<!DOCTYPE")) {
        readDoctype(tag);
        skipLineEnd();
    }
    // Any other "<!" is ignored.
}

void XmlTextReader::readStartTagAt(size_t begin) {
    const std::string_view rest = input_.substr(begin);
    // A value holds no "<": the tag lies before the next one, and its end is
    // where its values leave off, since a value may hold ">".
    const std::string_view span = rest.substr(0, find(rest, '<', 1));
    if (utf8_ || isAscii(span)) {
        const size_t nameEnd = 1 + xmlNameLength(span.substr(1));
        XmlAttributes attributes(&builder_.arena());
        size_t end = 0;
        if (scanAttributes(span, nameEnd, true, attributes, end) == nullptr) {
            std::string name = utf8ToAnsi(span.substr(1, nameEnd - 1));
            take(end + 1);
            builder_.startElement(std::move(name), std::move(attributes));
            if (span[end - 1] == '/') {
                builder_.endElement();
            }
            return;
        }
    }
    // A broken tag, or one of an ANSI file (converted first): it ends at its
    // first ">" outside quoted values, and its errors are recorded there.
    const size_t gt = startTagEnd(rest);
    const size_t tagEnd = gt == std::string_view::npos ? input_.size() : begin + gt + 1;
    const std::string_view tag = tagText(begin, tagEnd);
    take(tagEnd - begin);
    const size_t nameEnd = 1 + xmlNameLength(tag.substr(1));
    std::string name = utf8ToAnsi(tag.substr(1, nameEnd - 1));
    XmlAttributes attributes = readAttributes(tag, nameEnd);
    builder_.startElement(std::move(name), std::move(attributes));
    if (endsWith(tag, "/>")) {
        builder_.endElement();
    }
}

XmlAttributes XmlTextReader::readAttributes(std::string_view tag, size_t at) {
    XmlAttributes attributes(&builder_.arena());
    size_t end = 0;
    if (const char* error = scanAttributes(tag, at, false, attributes, end)) {
        recordError(error);
    }
    return attributes;
}

const char* XmlTextReader::scanAttributes(std::string_view text, size_t at, bool open,
                                          XmlAttributes& attributes, size_t& end) {
    // In a closed tag the closing ">" is no part of an unterminated value.
    const std::string_view body =
        !open && endsWith(text, ">") ? text.substr(0, text.size() - 1) : text;
    // Names and plain values are taken where they lie when they are the
    // document's own text (an open tag is), else copied into the arena.
    const bool inPlace = open && kept_;
    auto stable = [&](std::string_view piece) {
        char* copy = static_cast<char*>(builder_.arena().allocate(piece.size(), 1));
        std::memcpy(copy, piece.data(), piece.size());
        return std::string_view(copy, piece.size());
    };
    // Gathered first, so that the attributes take exactly the room they need
    // (a baseline has thousands of elements).
    found_.clear();
    auto setFound = [&] {
        attributes.reserve(found_.size());
        for (const auto& [name, value] : found_) {
            attributes.setKept(name, value);
        }
    };
    const char* const begin = body.data();
    const char* const stop = begin + body.size();
    const char* p = begin + std::min(at, body.size());
    const char* error = nullptr;
    for (;;) {
        while (p < stop && isSpace(*p)) {
            ++p;
        }
        if (p == stop || *p == '?' || *p == '/' || *p == '>') {
            break;
        }
        // A name of letters, digits and ".-_:", and UTF-8 Latin-1 letters.
        const char* nameEnd = p;
        bool ascii = true;
        while (nameEnd < stop) {
            const auto c = static_cast<unsigned char>(*nameEnd);
            if (isNameByte(c)) {
                ++nameEnd;
            } else if (c == 0xC3 && nameEnd + 1 < stop) {
                ascii = false;
                nameEnd += 2;
            } else {
                break;
            }
        }
        if (nameEnd == p || nameEnd + 1 >= stop || *nameEnd != '=') {
            error = "missing attribute assignment";
            break;
        }
        std::string_view name(p, static_cast<size_t>(nameEnd - p));
        const char quote = nameEnd[1];
        if (quote != '"' && quote != '\'') {
            error = "missing attribute value quote";
            break;
        }
        const char* const valueBegin = nameEnd + 2;
        bool plain = true;
        const char* const close = valueEnd(valueBegin, stop, quote, plain);
        std::string_view value(valueBegin, static_cast<size_t>(close - valueBegin));
        if (!ascii) {
            name = stable(utf8ToAnsi(name));
        } else if (!inPlace) {
            name = stable(name);
        }
        if (!plain) {
            decodeXmlText(value, decoded_);
            value = stable(decoded_);
        } else if (!inPlace) {
            value = stable(value);
        }
        found_.emplace_back(name, value);
        if (close == stop) {
            error = "unterminated attribute quote";
            break;
        }
        p = close + 1;
    }
    if (open && !error) {
        end = find(body, '>', static_cast<size_t>(p - begin));
        if (end == std::string_view::npos) {
            error = "unterminated tag"; // the caller reads it again as a closed one
        }
    }
    setFound();
    return error;
}

void XmlTextReader::readDeclaration(std::string_view tag, size_t nameEnd) {
    const XmlAttributes attributes = readAttributes(tag, nameEnd);
    if (const auto version = attributes.find("version"); version && !version->empty()) {
        format_.version = *version;
    }
    if (const auto encoding = attributes.find("encoding"); encoding && !encoding->empty()) {
        // A byte order mark has said UTF-8 already and outranks the
        // declaration: the bytes are read as UTF-8 and the format says so.
        const bool declaresUtf8 = equalsIgnoringCase(std::string(*encoding), "utf-8");
        if (!format_.bom || declaresUtf8) {
            format_.encoding = *encoding;
        }
        if (declaresUtf8) {
            utf8_ = true;
        }
    }
    const auto standalone = attributes.find("standalone");
    format_.standalone = !standalone                                           ? -1
                         : equalsIgnoringCase(std::string(*standalone), "yes") ? 1
                                                                               : 0;
}

void XmlTextReader::readStylesheet(std::string_view tag, size_t nameEnd) {
    const XmlAttributes attributes = readAttributes(tag, nameEnd);
    XmlStylesheetRef sheet;
    auto value = [&](const char* name) {
        return std::string(attributes.find(name).value_or(std::string_view()));
    };
    sheet.alternate = equalsIgnoringCase(value("alternate"), "yes");
    sheet.type = value("type");
    sheet.href = value("href");
    sheet.title = value("title");
    sheet.media = value("media");
    sheet.charset = value("charset");
    format_.styleSheets.push_back(std::move(sheet));
}

void XmlTextReader::readDoctype(std::string_view tag) {
    size_t i = std::strlen("<!DOCTYPE");
    const size_t end = endsWith(tag, ">") ? tag.size() - 1 : tag.size();
    auto skipSpace = [&] {
        while (i < end && isSpace(tag[i])) {
            ++i;
        }
    };
    auto word = [&] {
        skipSpace();
        const size_t start = i;
        while (i < end && !isSpace(tag[i]) && tag[i] != '"' && tag[i] != '\'' && tag[i] != '[') {
            ++i;
        }
        return std::string(tag.substr(start, i - start));
    };
    // A quoted literal; empty when missing or unterminated.
    auto literal = [&] {
        skipSpace();
        if (i >= end || (tag[i] != '"' && tag[i] != '\'')) {
            return std::string();
        }
        const size_t close = tag.find(tag[i], i + 1);
        if (close == std::string_view::npos || close >= end) {
            i = end;
            return std::string();
        }
        std::string text(tag.substr(i + 1, close - i - 1));
        i = close + 1;
        return text;
    };
    XmlDoctype doctype;
    doctype.name = word();
    const std::string keyword = word();
    if (keyword == "PUBLIC") {
        doctype.publicId = literal();
        doctype.systemId = literal();
    } else if (keyword == "SYSTEM") {
        doctype.systemId = literal();
    }
    format_.doctype = std::move(doctype);
}

} // namespace kelvane
