#include "xml/AnsiCodePage.h"

#include <windows.h>

#include <climits>
#include <vector>

namespace kelvane::platform {

namespace {

std::wstring toWide(UINT codePage, std::string_view text) {
    if (text.empty() || text.size() > INT_MAX) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    int wide = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (wide <= 0) {
        return {};
    }
    std::wstring result(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), length, result.data(), wide);
    return result;
}

std::string fromWide(UINT codePage, const std::wstring& text) {
    if (text.empty() || text.size() > INT_MAX) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    int bytes = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return {};
    }
    std::string result(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, result.data(), bytes, nullptr, nullptr);
    return result;
}

} // namespace

std::string ansiToUtf8(std::string_view text) {
    return fromWide(CP_UTF8, toWide(CP_ACP, text));
}

std::string utf8ToAnsi(std::string_view text) {
    return fromWide(CP_ACP, toWide(CP_UTF8, text));
}

} // namespace kelvane::platform
