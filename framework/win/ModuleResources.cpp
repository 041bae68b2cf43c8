#include "framework/win/ModuleResources.h"

namespace Plinth {

namespace {

HINSTANCE moduleInstance = nullptr;
LANGID chosenLanguage = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK);

std::string toAnsi(const wchar_t* text, int length) {
    if (length <= 0) {
        return {};
    }
    int needed = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, result.data(), needed, nullptr, nullptr);
    return result;
}

} // namespace

void setResourceModule(HINSTANCE instance) { moduleInstance = instance; }

HINSTANCE resourceModule() { return moduleInstance ? moduleInstance : GetModuleHandleA(nullptr); }

void setResourceLanguage(LANGID language) { chosenLanguage = language; }

LANGID resourceLanguage() { return chosenLanguage; }

HRSRC findLocalisedResource(LPCSTR type, LPCSTR name) {
    HMODULE module = resourceModule();
    if (HRSRC found = FindResourceExA(module, type, name, chosenLanguage)) {
        return found;
    }
    LANGID english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK);
    if (HRSRC found = FindResourceExA(module, type, name, english)) {
        return found;
    }
    return FindResourceA(module, name, type);
}

const void* loadLocalisedResource(LPCSTR type, LPCSTR name, DWORD* size) {
    HRSRC found = findLocalisedResource(type, name);
    if (!found) {
        return nullptr;
    }
    HGLOBAL loaded = LoadResource(resourceModule(), found);
    if (!loaded) {
        return nullptr;
    }
    if (size) {
        *size = SizeofResource(resourceModule(), found);
    }
    return LockResource(loaded);
}

std::string loadString(unsigned id) {
    // String tables come in blocks of sixteen counted UTF-16 strings.
    DWORD size = 0;
    auto block = static_cast<const WCHAR*>(
        loadLocalisedResource(RT_STRING, MAKEINTRESOURCEA(id / 16 + 1), &size));
    if (!block) {
        return {};
    }
    const WCHAR* end = block + size / sizeof(WCHAR);
    const WCHAR* entry = block;
    for (unsigned i = 0; i < id % 16 && entry < end; ++i) {
        entry += 1 + *entry;
    }
    if (entry >= end || entry + 1 + *entry > end) {
        return {};
    }
    return toAnsi(entry + 1, *entry);
}

} // namespace Plinth
