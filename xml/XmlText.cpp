#include "xml/XmlText.h"

#include "xml/AnsiCodePage.h"

#include <cstring>

namespace kelvane {

namespace {

constexpr size_t fixedLimit = 2048;
constexpr size_t longestEscape = 6; // "&quot;" and "&apos;"

bool needsEscape(unsigned char c) {
    switch (c) {
    case '&':
    case '<':
    case '>':
    case '"':
    case '\'':
        return true;
    case '\t':
    case '\n':
    case '\r':
        return false;
    default:
        return c < 0x20;
    }
}

// Writes the escaped form of text to out, which has room for six bytes per
// input byte; returns the length written.
size_t escapeInto(char* out, std::string_view text) {
    char* p = out;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (!needsEscape(c)) {
            *p++ = ch;
            continue;
        }
        const char* escape = nullptr;
        switch (c) {
        case '&':
            escape = "&amp;";
            break;
        case '<':
            escape = "&lt;";
            break;
        case '>':
            escape = "&gt;";
            break;
        case '"':
            escape = "&quot;";
            break;
        case '\'':
            escape = "&apos;";
            break;
        default: {
            // Below 0x20: at most "&#31;".
            *p++ = '&';
            *p++ = '#';
            if (c >= 10) {
                *p++ = static_cast<char>('0' + c / 10);
            }
            *p++ = static_cast<char>('0' + c % 10);
            *p++ = ';';
            continue;
        }
        }
        const size_t length = std::strlen(escape);
        std::memcpy(p, escape, length);
        p += length;
    }
    return static_cast<size_t>(p - out);
}

void appendConverted(std::string& out, std::string_view ansi) {
    if (isAscii(ansi)) {
        out.append(ansi);
    } else {
        out += ansiToUtf8(ansi);
    }
}

void appendCdata(std::string& out, std::string_view text) {
    // A "]]>" inside the text would end the section early and leave the rest
    // as markup; it is split across two sections instead.
    out += "<![CDATA[";
    const std::string utf8 = ansiToUtf8(text);
    std::string_view rest = utf8;
    for (size_t end; (end = rest.find("]]>")) != std::string_view::npos;) {
        out.append(rest.substr(0, end + 2));
        out += "]]><![CDATA[";
        rest.remove_prefix(end + 2);
    }
    out.append(rest);
    out += "]]>";
}

} // namespace

void appendXmlText(std::string& out, std::string_view text, bool asCdata) {
    if (asCdata) {
        appendCdata(out, text);
        return;
    }
    bool plain = true;
    for (char c : text) {
        if (needsEscape(static_cast<unsigned char>(c))) {
            plain = false;
            break;
        }
    }
    if (plain) {
        appendConverted(out, text);
    } else if (text.size() <= fixedLimit) {
        char buffer[fixedLimit * longestEscape];
        appendConverted(out, std::string_view(buffer, escapeInto(buffer, text)));
    } else {
        std::string buffer(text.size() * longestEscape, '\0');
        buffer.resize(escapeInto(buffer.data(), text));
        appendConverted(out, buffer);
    }
}

std::string encodeXmlText(std::string_view text, bool asCdata) {
    std::string out;
    appendXmlText(out, text, asCdata);
    return out;
}

namespace {

// The next "&" or "<" from i. string_view::find_first_of looks every byte up
// in the set with memchr, which costs more than the reading it serves.
size_t findMarkup(std::string_view text, size_t i) {
    for (; i < text.size(); ++i) {
        if (text[i] == '&' || text[i] == '<') {
            return i;
        }
    }
    return std::string_view::npos;
}

} // namespace

std::string decodeXmlText(std::string_view text) {
    if (findMarkup(text, 0) == std::string_view::npos) {
        return utf8ToAnsi(text);
    }
    // ASCII text is the same in both forms; only other text needs the copy.
    std::string ansi;
    std::string_view in = text;
    if (!isAscii(text)) {
        ansi = platform::utf8ToAnsi(text);
        in = ansi;
    }
    std::string out;
    out.reserve(in.size());
    static constexpr struct {
        std::string_view entity;
        char character;
    } named[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}};
    constexpr std::string_view cdataOpen = "<![CDATA[";
    size_t i = 0;
    while (i < in.size()) {
        const size_t special = findMarkup(in, i);
        if (special == std::string_view::npos) {
            out.append(in.substr(i));
            break;
        }
        out.append(in.substr(i, special - i));
        i = special;
        const std::string_view rest = in.substr(i);
        if (rest[0] == '&') {
            bool matched = false;
            for (const auto& entry : named) {
                if (rest.substr(0, entry.entity.size()) == entry.entity) {
                    out += entry.character;
                    i += entry.entity.size();
                    matched = true;
                    break;
                }
            }
            if (!matched) {
                out += '&';
                ++i;
            }
        } else if (rest.substr(0, cdataOpen.size()) == cdataOpen) {
            const size_t close = rest.find("]]>", cdataOpen.size());
            if (close == std::string_view::npos) {
                out.append(cdataOpen);
                i += cdataOpen.size();
                continue;
            }
            out.append(rest.substr(cdataOpen.size(), close - cdataOpen.size()));
            i += close + 3;
        } else {
            out += '<';
            ++i;
        }
    }
    return out;
}

} // namespace kelvane
