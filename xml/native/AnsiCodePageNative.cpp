// Windows-1252 in both directions, as the Windows conversions behave for it:
// the five unassigned bytes map to the C1 controls of the same value, and a
// character the code page lacks becomes "?".
#include "xml/AnsiCodePage.h"

#include <cstdint>

namespace kelvane::platform {

namespace {

// Code points of the bytes 0x80 to 0x9F; the rest equal their byte value.
constexpr uint16_t high1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                   0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

uint32_t codePointOf(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? high1252[byte - 0x80] : byte;
}

char byteOf(uint32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<char>(codePoint);
    }
    for (int i = 0; i < 32; ++i) {
        if (high1252[i] == codePoint) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

// One character from p; a malformed sequence yields U+FFFD and consumes one
// byte, so every byte is looked at once.
uint32_t nextCodePoint(const unsigned char*& p, const unsigned char* end) {
    const unsigned char lead = *p++;
    if (lead < 0x80) {
        return lead;
    }
    int extra;
    uint32_t cp;
    uint32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1, cp = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2, cp = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3, cp = lead & 0x07, minimum = 0x10000;
    } else {
        return 0xFFFD;
    }
    if (end - p < extra) {
        return 0xFFFD;
    }
    for (int i = 0; i < extra; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            return 0xFFFD;
        }
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0xFFFD;
    }
    p += extra;
    return cp;
}

} // namespace

std::string ansiToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (char c : text) {
        appendUtf8(out, codePointOf(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string utf8ToAnsi(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    auto p = reinterpret_cast<const unsigned char*>(text.data());
    const auto end = p + text.size();
    while (p < end) {
        out += byteOf(nextCodePoint(p, end));
    }
    return out;
}

} // namespace kelvane::platform
