#include "framework/TextFormat.h"

#include "framework/PlatformText.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace Plinth {

long long FormatArg::asSigned() const {
    switch (kind_) {
    case Kind::Signed:
        return signed_;
    case Kind::Unsigned:
        return static_cast<long long>(unsigned_);
    case Kind::Real:
        return static_cast<long long>(real_);
    default:
        return 0;
    }
}

unsigned long long FormatArg::asUnsigned() const {
    switch (kind_) {
    case Kind::Signed:
        return static_cast<unsigned long long>(signed_);
    case Kind::Unsigned:
        return unsigned_;
    case Kind::Real:
        return static_cast<unsigned long long>(real_);
    default:
        return 0;
    }
}

namespace {

template <typename T> void appendPrintf(std::string& out, const std::string& directive, T value) {
    int needed = std::snprintf(nullptr, 0, directive.c_str(), value);
    if (needed <= 0) {
        return;
    }
    std::vector<char> buffer(static_cast<size_t>(needed) + 1);
    std::snprintf(buffer.data(), buffer.size(), directive.c_str(), value);
    out.append(buffer.data(), static_cast<size_t>(needed));
}

bool isFlag(char c) { return c == '-' || c == '+' || c == ' ' || c == '#' || c == '0'; }

// The C library's length modifiers are replaced by ours, so only skip them;
// "hs" and "ls" (narrow and wide text in the platform's printf) both mean text.
const char* skipLength(const char* p) {
    while (*p == 'h' || *p == 'l' || *p == 'L' || *p == 'q' || *p == 'j' || *p == 'z' ||
           *p == 't' || *p == 'I') {
        if (*p == 'I') {
            // I32 / I64 of the Microsoft printf
            if ((p[1] == '3' && p[2] == '2') || (p[1] == '6' && p[2] == '4')) {
                p += 2;
            }
        }
        ++p;
    }
    return p;
}

} // namespace

std::string formatList(const char* format, std::initializer_list<FormatArg> args) {
    std::string out;
    if (!format) {
        return out;
    }
    const FormatArg* next = args.begin();
    const FormatArg* end = args.end();
    auto take = [&]() -> const FormatArg* { return next != end ? next++ : nullptr; };

    for (const char* p = format; *p;) {
        if (*p != '%') {
            const char* stop = std::strchr(p, '%');
            size_t n = stop ? static_cast<size_t>(stop - p) : std::strlen(p);
            out.append(p, n);
            p += n;
            continue;
        }
        if (p[1] == '%') {
            out += '%';
            p += 2;
            continue;
        }
        const char* start = p++;
        std::string flags;
        while (isFlag(*p)) {
            flags += *p++;
        }
        std::string width;
        if (*p == '*') {
            const FormatArg* a = take();
            width = std::to_string(a ? a->asSigned() : 0);
            ++p;
        } else {
            while (*p >= '0' && *p <= '9') {
                width += *p++;
            }
        }
        std::string precision;
        if (*p == '.') {
            precision += *p++;
            if (*p == '*') {
                const FormatArg* a = take();
                precision += std::to_string(a ? a->asSigned() : 0);
                ++p;
            } else {
                while (*p >= '0' && *p <= '9') {
                    precision += *p++;
                }
            }
        }
        p = skipLength(p);
        char conversion = *p;
        if (!conversion) {
            out.append(start);
            break;
        }
        ++p;
        std::string directive = "%" + flags + width + precision;
        const FormatArg* a = nullptr;
        switch (conversion) {
        case 'd':
        case 'i':
            if ((a = take())) {
                appendPrintf(out, directive + "lld", a->asSigned());
            }
            break;
        case 'u':
        case 'x':
        case 'X':
        case 'o':
            if ((a = take())) {
                appendPrintf(out, directive + "ll" + conversion, a->asUnsigned());
            }
            break;
        case 'c':
            if ((a = take())) {
                appendPrintf(out, directive + "c", static_cast<int>(a->asSigned()));
            }
            break;
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
            if ((a = take())) {
                appendPrintf(out, directive + conversion, a->asReal());
            }
            break;
        case 's': {
            // "%#s" is our text conversion; the C library's '#' means nothing
            // for strings, so both read a text argument.
            std::string textSpec = "%";
            for (char f : flags) {
                if (f != '#') {
                    textSpec += f;
                }
            }
            if ((a = take())) {
                appendPrintf(out, textSpec + width + precision + "s", a->asText());
            }
            break;
        }
        case 'D':
            if ((a = take()) && a->asTime()) {
                out += platform::localeDate(*a->asTime());
            }
            break;
        case 'p':
            if ((a = take())) {
                appendPrintf(out, directive + "llX", a->asUnsigned());
            }
            break;
        default:
            // Unknown conversion: keep it as written.
            out.append(start, static_cast<size_t>(p - start));
            break;
        }
    }
    return out;
}

} // namespace Plinth
