#include "framework/PlatformText.h"

#include <windows.h>
#include <wininet.h>

#include <vector>

namespace Plinth::platform {

namespace {

std::string trimLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

std::optional<std::string> formatFrom(DWORD source, HMODULE module, uint32_t code) {
    char* buffer = nullptr;
    DWORD length = FormatMessageA(source | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  module, code, LANG_USER_DEFAULT,
                                  reinterpret_cast<char*>(&buffer), 0, nullptr);
    if (length == 0 || !buffer) {
        return std::nullopt;
    }
    std::string text(buffer, length);
    LocalFree(buffer);
    text = trimLineEnd(std::move(text));
    if (text.empty()) {
        return std::nullopt;
    }
    return text;
}

} // namespace

std::optional<std::string> systemMessage(uint32_t code) {
    if (auto text = formatFrom(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code)) {
        return text;
    }
    // The internet library's codes have their texts in its own module.
    if (code >= INTERNET_ERROR_BASE && code <= INTERNET_ERROR_LAST) {
        if (HMODULE wininet = GetModuleHandleA("wininet.dll")) {
            return formatFrom(FORMAT_MESSAGE_FROM_HMODULE, wininet, code);
        }
    }
    return std::nullopt;
}

std::optional<std::string> internetResponseText() {
    DWORD error = 0;
    DWORD length = 0;
    InternetGetLastResponseInfoA(&error, nullptr, &length);
    if (length == 0) {
        return std::nullopt;
    }
    std::vector<char> buffer(length + 1);
    if (!InternetGetLastResponseInfoA(&error, buffer.data(), &length)) {
        return std::nullopt;
    }
    return trimLineEnd(std::string(buffer.data(), length));
}

uint32_t lastError() { return GetLastError(); }

ModuleLookup frameworkModuleText(uint32_t code) {
    ModuleLookup lookup;
    HMODULE module = LoadLibraryExA("PlinthCORE", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        return lookup;
    }
    lookup.moduleLoaded = true;
    char buffer[1024];
    int length = code <= 0xFFFF ? LoadStringA(module, code, buffer, sizeof buffer) : 0;
    if (length > 0) {
        lookup.text = std::string(buffer, static_cast<size_t>(length));
    }
    FreeLibrary(module);
    return lookup;
}

std::string localeDate(const SystemTime& time) {
    SYSTEMTIME st{};
    st.wYear = time.year;
    st.wMonth = time.month;
    st.wDayOfWeek = time.dayOfWeek;
    st.wDay = time.day;
    char buffer[128];
    int length = GetDateFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer, sizeof buffer);
    return length > 1 ? std::string(buffer, static_cast<size_t>(length - 1)) : std::string();
}

} // namespace Plinth::platform
