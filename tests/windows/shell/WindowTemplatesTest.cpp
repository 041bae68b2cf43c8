// The dialog and menu resources in each language, laid out by Wine's dialog
// manager and measured in its fonts: each translation has what the English
// one has, no text is cut off, no two controls overlap, no menu offers the
// same mnemonic twice and each Alt+letter of the main window names one
// control or menu; the admin controls of the main window follow the rights.
// The string tables are PlatformTextTest's.
#include "framework/win/ModuleResources.h"
#include "framework/win/UniqueHandle.h"
#include "resources/ResourceIds.h"
#include "shell/win/AdminRights.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

using namespace Plinth;

namespace {

const LANGID languages[] = {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK),
                            MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN),
                            MAKELANGID(LANG_SWEDISH, SUBLANG_SWEDISH)};

INT_PTR CALLBACK plainDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

std::string windowText(HWND window) {
    char buffer[512] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

std::string className(HWND window) {
    char buffer[64] = {};
    GetClassNameA(window, buffer, sizeof buffer);
    return buffer;
}

char mnemonic(const std::string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '&' && text[++i] != '&') {
            return static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
        }
    }
    return 0;
}

// scripts/screenshot-windows sets KELVANE_PREVIEW_DIR to get a picture of
// each window to look at; the test itself never waits for the screen.
void savePreview(HWND window, const std::string& name) {
    const char* folder = std::getenv("KELVANE_PREVIEW_DIR");
    if (!folder) {
        return;
    }
    SetForegroundWindow(window);
    for (int i = 0; i < 25; ++i) {
        for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) {
            DispatchMessageA(&message);
        }
        Sleep(20);
    }
    RECT box;
    GetWindowRect(window, &box);
    const int width = box.right - box.left, height = box.bottom - box.top;
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 24, BI_RGB};
    void* bits = nullptr;
    UniqueBitmap picture(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    HGDIOBJ old = SelectObject(memory, picture.get());
    BitBlt(memory, 0, 0, width, height, screen, box.left, box.top, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    const DWORD size = ((width * 3 + 3) / 4) * 4 * height,
                headers = sizeof(BITMAPFILEHEADER) + sizeof info.bmiHeader;
    const BITMAPFILEHEADER file = {0x4D42, headers + size, 0, 0, headers};
    std::ofstream out(std::string(folder) + "\\" + name + ".bmp", std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), size);
}

// The dialog from the template of the chosen language, shown.
UniqueWindow openDialog(LANGID language, unsigned id) {
    setResourceLanguage(language);
    auto layout =
        static_cast<const DLGTEMPLATE*>(loadLocalisedResource(RT_DIALOG, MAKEINTRESOURCEA(id)));
    UniqueWindow dialog(layout ? CreateDialogIndirectParamA(GetModuleHandleA(nullptr), layout,
                                                            nullptr, plainDialog, 0)
                               : nullptr);
    if (dialog) {
        ShowWindow(dialog.get(), SW_SHOWNORMAL);
        UpdateWindow(dialog.get());
        savePreview(dialog.get(), std::to_string(id) + "-" + std::to_string(language));
    }
    return dialog;
}

// Every text control wide enough for its text in the dialog's font.
void expectTextsFit(HWND dialog, const std::string& where) {
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::string kind = className(child);
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        const std::string text = windowText(child);
        RECT client;
        GetClientRect(child, &client);
        if ((kind != "Button" && kind != "Static") || text.empty() ||
            (kind == "Static" && (style & SS_TYPEMASK) == SS_ICON) ||
            (kind == "Static" && (style & SS_TYPEMASK) == SS_LEFT && client.bottom >= 16)) {
            continue; // no text, or a word-wrapping text of several lines
        }
        const LONG button = style & BS_TYPEMASK;
        const bool box = button == BS_AUTOCHECKBOX || button == BS_CHECKBOX ||
                         button == BS_AUTORADIOBUTTON || button == BS_RADIOBUTTON;
        const int room = client.right - (kind == "Static" ? 0
                                         : box            ? GetSystemMetrics(SM_CXMENUCHECK) + 4
                                                          : 2 * GetSystemMetrics(SM_CXEDGE) + 4);
        RECT extent{}; // measured as drawn, without the mnemonic marks
        DrawTextA(dc, text.c_str(), -1, &extent, DT_CALCRECT | DT_SINGLELINE);
        EXPECT_LE(extent.right, room) << where << ": \"" << text << "\" is cut off";
    }
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
}

void expectNoOverlaps(HWND dialog, const std::string& where) {
    std::vector<std::pair<HWND, RECT>> shown;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) {
            continue;
        }
        RECT box;
        GetWindowRect(child, &box);
        if (className(child) == "ComboBox") { // its rectangle includes its closed list
            box.bottom = box.top + 6 +
                         static_cast<LONG>(SendMessageA(child, CB_GETITEMHEIGHT, WPARAM(-1), 0));
        }
        for (const auto& [other, otherBox] : shown) {
            RECT common;
            EXPECT_FALSE(IntersectRect(&common, &box, &otherBox))
                << where << ": control " << GetDlgCtrlID(child) << " overlaps "
                << GetDlgCtrlID(other);
        }
        shown.push_back({child, box});
    }
}

// Every command of a menu and its sub-menus (a separator as 0); mnemonics
// checked per level.
// The menu's own level of mnemonics, to the texts that carry them.
std::map<char, std::string> collectCommands(HMENU menu, std::vector<std::string>& commands,
                                            const std::string& where) {
    std::map<char, std::string> mnemonics;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[256] = {};
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        if (char key = mnemonic(text)) {
            EXPECT_EQ(mnemonics.count(key), 0u)
                << where << ": \"" << text << "\" and \"" << mnemonics[key] << "\" share &" << key;
            mnemonics[key] = text;
        }
        if (HMENU sub = GetSubMenu(menu, i)) {
            collectCommands(sub, commands, where + " > " + text);
        } else {
            commands.push_back(std::to_string(GetMenuItemID(menu, i)));
        }
    }
    return mnemonics;
}

} // namespace

// Alt and a letter reach the main window's controls and its menu bar alike
// (and the accelerators before both): each letter must name one of them, or
// a key meant to open a menu would press a button, Stop say. The main
// window's admin controls follow the rights; which buttons the rights show
// is the native Elevation test's.
TEST(TemplateTest, EveryDialogAndMenuHasTheEnglishContentsAndFitsInEveryLanguage) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    setResourceModule(GetModuleHandleA(nullptr));
    std::map<char, std::vector<std::string>> accelerators;
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    std::vector<ACCEL> entries(static_cast<size_t>(CopyAcceleratorTableA(table, nullptr, 0)));
    CopyAcceleratorTableA(table, entries.data(), static_cast<int>(entries.size()));
    DestroyAcceleratorTable(table);
    for (const ACCEL& entry : entries) {
        if ((entry.fVirt & FALT) && entry.key >= 'A' && entry.key <= 'Z') {
            accelerators[static_cast<char>(std::tolower(entry.key))].push_back("accelerator");
        }
    }
    std::map<LANGID, std::map<char, std::vector<std::string>>> altTargets;
    const std::pair<LPCSTR, unsigned> resources[] = {
        {RT_DIALOG, IDD_MAIN},          {RT_DIALOG, IDD_ABOUT},
        {RT_DIALOG, IDD_COLOR_LEGEND},  {RT_DIALOG, IDD_SERVICE_PARAMETERS},
        {RT_DIALOG, IDD_CONNECT_AS},    {RT_MENU, IDM_MAIN},
        {RT_MENU, IDM_SERVICE_CONTEXT}, {RT_MENU, IDM_TRAY}};
    for (const auto& [type, id] : resources) {
        std::vector<std::string> english;
        for (LANGID language : languages) {
            const std::string where = std::string(type == RT_MENU ? "menu " : "dialog ") +
                                      std::to_string(id) + " language " + std::to_string(language);
            auto& targets = altTargets.emplace(language, accelerators).first->second;
            std::vector<std::string> contents;
            if (type == RT_MENU) {
                setResourceLanguage(language);
                UniqueMenu menu(
                    LoadMenuIndirectA(loadLocalisedResource(RT_MENU, MAKEINTRESOURCEA(id))));
                ASSERT_TRUE(menu) << where;
                for (const auto& [key, title] : collectCommands(menu.get(), contents, where)) {
                    if (id == IDM_MAIN) {
                        targets[key].push_back("menu \"" + title + "\"");
                    }
                }
            } else {
                UniqueWindow dialog = openDialog(language, id);
                ASSERT_TRUE(dialog) << where;
                expectTextsFit(dialog.get(), where);
                expectNoOverlaps(dialog.get(), where);
                // The controls by id with their kinds; the main window's letters.
                for (HWND child = GetWindow(dialog.get(), GW_CHILD); child;
                     child = GetWindow(child, GW_HWNDNEXT)) {
                    const std::string kind = className(child), text = windowText(child);
                    const bool password =
                        (GetWindowLongA(child, GWL_STYLE) & ES_PASSWORD) && kind == "Edit";
                    contents.push_back(std::to_string(GetDlgCtrlID(child)) + " " + kind +
                                       (password ? " password" : ""));
                    if (char key = (id == IDD_MAIN && (kind == "Button" || kind == "Static"))
                                       ? mnemonic(text)
                                       : 0) {
                        targets[key].push_back("control \"" + text + "\"");
                    }
                }
                if (id == IDD_MAIN) {
                    kelvane::updateAdminControls(dialog.get(), /*adminRights=*/false, true);
                    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog.get(), IDC_START))) << where;
                    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog.get(), IDC_ADMIN))) << where;
                }
            }
            if (english.empty()) {
                english = contents;
            }
            EXPECT_EQ(contents, english) << where;
        }
    }
    setResourceLanguage(languages[0]);
    for (const auto& [language, targets] : altTargets) {
        for (const auto& [key, named] : targets) {
            EXPECT_EQ(named.size(), 1u)
                << language << ": Alt+" << key << " reaches " << ::testing::PrintToString(named);
        }
    }
}
