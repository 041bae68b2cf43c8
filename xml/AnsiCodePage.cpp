#include "xml/AnsiCodePage.h"

#include <cstdint>
#include <cstring>

namespace kelvane {

void appendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool isAscii(std::string_view text) {
    const char* p = text.data();
    size_t n = text.size();
    // Eight bytes at a time: settings files are almost all ASCII.
    while (n >= 8) {
        uint64_t word;
        std::memcpy(&word, p, 8);
        if (word & 0x8080808080808080ull) {
            return false;
        }
        p += 8;
        n -= 8;
    }
    for (; n > 0; --n, ++p) {
        if (static_cast<unsigned char>(*p) & 0x80) {
            return false;
        }
    }
    return true;
}

std::string ansiToUtf8(std::string_view text) {
    return isAscii(text) ? std::string(text) : platform::ansiToUtf8(text);
}

std::string utf8ToAnsi(std::string_view text) {
    return isAscii(text) ? std::string(text) : platform::utf8ToAnsi(text);
}

} // namespace kelvane
