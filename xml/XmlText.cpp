#include "xml/XmlText.h"

#include "xml/AnsiCodePage.h"

#include <cstdint>
#include <cstring>

namespace kelvane {

// XML 1.0 cannot hold the bytes below 0x20 other than tab, LF and CR, not
// even as character references, and conforming readers turn a tab, LF or CR
// in an attribute value into a blank. So tab, LF and CR are written as
// character references, and the other control bytes in the form Office Open
// XML uses, "_xHHHH_" with four hexadecimal digits (byte 1 is "_x0001_"),
// which every XML reader accepts as plain text. A "_" that starts such a
// form in the text itself is written "_x005F_", so the form reads back
// unambiguously. Reading turns "_x0000_" to "_x001F_" and "_x005F_" back
// into their bytes, and resolves every numeric character reference, which
// also reads the "&#1;" that older versions wrote. See docs/settings-file.md.

namespace {

constexpr size_t fixedLimit = 2048;
constexpr size_t longestEscape = 7; // "_x005F_" and "_x001F_"

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c) {
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

// A "_" at text[i] followed by "x" and four hexadecimal digits: written
// as it stands, it could read back as an escaped byte.
bool startsHexForm(std::string_view text, size_t i) {
    return i + 5 < text.size() && text[i + 1] == 'x' && isHexDigit(text[i + 2]) &&
           isHexDigit(text[i + 3]) && isHexDigit(text[i + 4]) && isHexDigit(text[i + 5]);
}

bool needsEscape(std::string_view text, size_t i) {
    const auto c = static_cast<unsigned char>(text[i]);
    switch (c) {
    case '&':
    case '<':
    case '>':
    case '"':
    case '\'':
        return true;
    case '_':
        return startsHexForm(text, i);
    default:
        return c < 0x20;
    }
}

char hexDigit(unsigned value) {
    return "0123456789ABCDEF"[value & 0xF];
}

// Writes the escaped form of text to out, which has room for longestEscape
// bytes per input byte; returns the length written.
size_t escapeInto(char* out, std::string_view text) {
    char* p = out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (!needsEscape(text, i)) {
            *p++ = ch;
            continue;
        }
        const auto c = static_cast<unsigned char>(ch);
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
        case '\t':
            escape = "&#9;";
            break;
        case '\n':
            escape = "&#10;";
            break;
        case '\r':
            escape = "&#13;";
            break;
        default: // below 0x20, or "_" before a hexadecimal form
            std::memcpy(p, "_x00", 4);
            p[4] = hexDigit(c >> 4);
            p[5] = hexDigit(c);
            p[6] = '_';
            p += 7;
            continue;
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
    for (size_t i = 0; i < text.size(); ++i) {
        if (needsEscape(text, i)) {
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

// The next byte that may start markup or an escape. string_view's
// find_first_of looks every byte up in the set with memchr, which costs more
// than the reading it serves.
size_t findMarkup(std::string_view text, size_t i) {
    for (; i < text.size(); ++i) {
        if (text[i] == '&' || text[i] == '<' || text[i] == '_') {
            return i;
        }
    }
    return std::string_view::npos;
}

// "&#169;" or "&#xA9;" at the start of text: its length and character, or 0
// when it is none (no digits, no ";", or no character of Unicode).
size_t characterReference(std::string_view text, uint32_t& character) {
    const bool hex = text.size() > 2 && text[2] == 'x';
    size_t i = hex ? 3 : 2;
    const size_t digits = i;
    uint32_t value = 0;
    for (; i < text.size() && (hex ? isHexDigit(text[i]) : text[i] >= '0' && text[i] <= '9'); ++i) {
        value = value * (hex ? 16 : 10) + static_cast<uint32_t>(hexValue(text[i]));
        if (value > 0x10FFFF) {
            return 0;
        }
    }
    if (i == digits || i >= text.size() || text[i] != ';' || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    character = value;
    return i + 1;
}

// "_x0001_" to "_x001F_" and "_x005F_" at the start of text: the byte, or -1.
int escapedByte(std::string_view text) {
    if (text.size() < 7 || text[1] != 'x' || text[2] != '0' || text[3] != '0' ||
        !isHexDigit(text[4]) || !isHexDigit(text[5]) || text[6] != '_') {
        return -1;
    }
    const int value = hexValue(text[4]) * 16 + hexValue(text[5]);
    return value < 0x20 || value == '_' ? value : -1;
}

} // namespace

std::string decodeXmlText(std::string_view text) {
    std::string out;
    decodeXmlText(text, out);
    return out;
}

void decodeXmlText(std::string_view text, std::string& out) {
    // Decoded in UTF-8 (a reference may name any character), then converted
    // once.
    out.clear();
    out.reserve(text.size());
    static constexpr struct {
        std::string_view entity;
        char character;
    } named[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}};
    constexpr std::string_view cdataOpen = "<![CDATA[";
    size_t i = 0;
    while (i < text.size()) {
        const size_t special = findMarkup(text, i);
        if (special == std::string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, special - i));
        i = special;
        const std::string_view rest = text.substr(i);
        if (rest[0] == '&') {
            size_t length = 0;
            uint32_t character = 0;
            if (rest.size() > 1 && rest[1] == '#') {
                length = characterReference(rest, character);
                if (length) {
                    appendUtf8(out, character);
                }
            } else {
                for (const auto& entry : named) {
                    if (rest.substr(0, entry.entity.size()) == entry.entity) {
                        out += entry.character;
                        length = entry.entity.size();
                        break;
                    }
                }
            }
            if (!length) {
                out += '&';
                length = 1;
            }
            i += length;
        } else if (rest[0] == '_') {
            const int byte = escapedByte(rest);
            out += byte < 0 ? '_' : static_cast<char>(byte);
            i += byte < 0 ? 1 : 7;
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
    if (!isAscii(out)) {
        out = platform::utf8ToAnsi(out);
    }
}

} // namespace kelvane
