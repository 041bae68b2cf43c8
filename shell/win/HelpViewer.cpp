#include "shell/win/HelpViewer.h"

#include "framework/win/UniqueHandle.h"

#include <string>

namespace kelvane {

namespace {

using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

// The system's own HTML Help control, by its full path. The class registry
// (HKEY_CLASSES_ROOT) is not asked: it merges the current user's classes,
// which any unelevated program may write, and an elevated run would load
// whatever library they name.
std::string helpControlPath() {
    char folder[MAX_PATH] = {};
    UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return std::string(folder, length) + "\\hhctrl.ocx";
}

struct HelpControl {
    Plinth::UniqueModule module;
    HtmlHelpFn entry = nullptr;

    HelpControl() {
        std::string path = helpControlPath();
        if (!path.empty()) {
            // Its own dependencies come from the system folder too, not from
            // beside this program or the current folder.
            module.reset(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
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
