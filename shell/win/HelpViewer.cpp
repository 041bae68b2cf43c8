#include "shell/win/HelpViewer.h"

#include "framework/win/UniqueHandle.h"

#include <string>

namespace kelvane {

namespace {

using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

std::string helpControlPath() {
    Plinth::UniqueKey key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT,
                      "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32", 0, KEY_READ,
                      key.put()) == ERROR_SUCCESS) {
        char path[MAX_PATH] = {};
        DWORD size = sizeof path - 1;
        DWORD type = 0;
        if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(path),
                             &size) == ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ) && path[0]) {
            return path;
        }
    }
    return "hhctrl.ocx";
}

struct HelpControl {
    Plinth::UniqueModule module;
    HtmlHelpFn entry = nullptr;

    HelpControl() {
        module.reset(LoadLibraryA(helpControlPath().c_str()));
        if (!module) {
            module.reset(LoadLibraryA("hhctrl.ocx"));
        }
        if (module) {
            // HtmlHelpA is exported by ordinal only.
            entry = reinterpret_cast<HtmlHelpFn>(
                reinterpret_cast<void*>(GetProcAddress(module.get(), MAKEINTRESOURCEA(14))));
        }
    }
};

} // namespace

HWND showHelp(HWND caller, const char* file, UINT command, DWORD_PTR data) {
    static HelpControl control; // a failure is remembered: later requests do nothing
    return control.entry ? control.entry(caller, file, command, data) : nullptr;
}

std::string helpFilePath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return "kelvane.chm";
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2); // cut short: try again with room to spare
    }
    return path.substr(0, path.find_last_of("\\/") + 1) + "kelvane.chm";
}

HWND showHelpContents(HWND caller) {
    constexpr UINT displayToc = 1; // HH_DISPLAY_TOC
    return showHelp(caller, helpFilePath().c_str(), displayToc, 0);
}

} // namespace kelvane
