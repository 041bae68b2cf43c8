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
#include <map>
#include <string>
#include <vector>

using namespace Plinth;

namespace {

struct Language {
    LANGID id;
    const char* name;
};
const Language languages[] = {{MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK), "en"},
                              {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), "de"},
                              {MAKELANGID(LANG_SWEDISH, SUBLANG_SWEDISH), "sv"}};

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
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
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
    UniqueFileHandle out(CreateFileA((std::string(folder) + "\\" + name + ".bmp").c_str(),
                                     GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(out.get(), &file, sizeof file, &written, nullptr);
    WriteFile(out.get(), &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
    WriteFile(out.get(), bits, size, &written, nullptr);
}

class TemplateTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        setResourceModule(GetModuleHandleA(nullptr));
    }
    void TearDown() override { setResourceLanguage(languages[0].id); }

    // The dialog from the template of the chosen language, shown.
    static UniqueWindow openDialog(LANGID language, unsigned id) {
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
};

// Every text control wide enough for its text in the dialog's font.
void expectTextsFit(HWND dialog, const std::string& where) {
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::string kind = className(child);
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        std::string text = windowText(child);
        for (size_t at = text.find('&'); at != std::string::npos; at = text.find('&', at + 1)) {
            text.erase(at, 1); // drawn without the mnemonic marks
        }
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
        SIZE extent = {};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        EXPECT_LE(extent.cx, room) << where << ": \"" << text << "\" is cut off";
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

// The controls a dialog has, by id, with their kinds.
std::vector<std::string> controlsOf(HWND dialog) {
    std::vector<std::string> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const bool password =
            (GetWindowLongA(child, GWL_STYLE) & ES_PASSWORD) && className(child) == "Edit";
        controls.push_back(std::to_string(GetDlgCtrlID(child)) + " " + className(child) +
                           (password ? " password" : ""));
    }
    return controls;
}

// Every command of a menu and its sub-menus; mnemonics checked per level.
// The menu's own level of mnemonics, to the texts that carry them.
std::map<char, std::string> collectCommands(HMENU menu, std::vector<UINT>& commands,
                                            const std::string& where) {
    std::map<char, std::string> mnemonics;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[256] = {};
        MENUITEMINFOA item{sizeof item};
        item.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_FTYPE;
        item.dwTypeData = text;
        item.cch = sizeof text;
        GetMenuItemInfoA(menu, i, TRUE, &item);
        if (item.fType & MFT_SEPARATOR) {
            continue;
        }
        if (char key = mnemonic(text)) {
            EXPECT_EQ(mnemonics.count(key), 0u)
                << where << ": \"" << text << "\" and \"" << mnemonics[key] << "\" share &" << key;
            mnemonics[key] = text;
        }
        if (item.hSubMenu) {
            collectCommands(item.hSubMenu, commands, where + " > " + text);
        } else {
            commands.push_back(item.wID);
        }
    }
    return mnemonics;
}

} // namespace

TEST_F(TemplateTest, EveryDialogHasTheEnglishControlsAndFitsInEveryLanguage) {
    for (unsigned id :
         {IDD_MAIN, IDD_ABOUT, IDD_COLOR_LEGEND, IDD_SERVICE_PARAMETERS, IDD_CONNECT_AS}) {
        std::vector<std::string> english;
        for (const Language& language : languages) {
            const std::string where = "dialog " + std::to_string(id) + " " + language.name;
            UniqueWindow dialog = openDialog(language.id, id);
            ASSERT_TRUE(dialog) << where;
            if (english.empty()) {
                english = controlsOf(dialog.get());
            }
            EXPECT_EQ(controlsOf(dialog.get()), english) << where;
            expectTextsFit(dialog.get(), where);
            expectNoOverlaps(dialog.get(), where);
        }
    }
}

TEST_F(TemplateTest, MenusCarryTheEnglishCommandsInEveryLanguage) {
    for (unsigned id : {IDM_MAIN, IDM_SERVICE_CONTEXT, IDM_TRAY}) {
        std::vector<UINT> english;
        for (const Language& language : languages) {
            const std::string where = std::string(language.name) + " menu " + std::to_string(id);
            setResourceLanguage(language.id);
            UniqueMenu menu(
                LoadMenuIndirectA(loadLocalisedResource(RT_MENU, MAKEINTRESOURCEA(id))));
            ASSERT_TRUE(menu) << where;
            std::vector<UINT> found;
            collectCommands(menu.get(), found, where);
            if (english.empty()) {
                english = found;
            }
            EXPECT_EQ(found, english) << where;
        }
    }
}

// Alt and a letter reach the main window's controls and its menu bar alike
// (and the accelerators before both): each letter must name one of them, or
// a key meant to open a menu would press a button, Stop say.
TEST_F(TemplateTest, EveryAltLetterOfTheMainWindowHasOneTargetInEveryLanguage) {
    std::map<char, std::vector<std::string>> accelerators;
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_NE(table, nullptr);
    std::vector<ACCEL> entries(static_cast<size_t>(CopyAcceleratorTableA(table, nullptr, 0)));
    CopyAcceleratorTableA(table, entries.data(), static_cast<int>(entries.size()));
    DestroyAcceleratorTable(table);
    for (const ACCEL& entry : entries) {
        if ((entry.fVirt & FALT) && entry.key >= 'A' && entry.key <= 'Z') {
            accelerators[static_cast<char>(std::tolower(entry.key))].push_back("accelerator");
        }
    }
    for (const Language& language : languages) {
        std::map<char, std::vector<std::string>> targets = accelerators;
        UniqueWindow dialog = openDialog(language.id, IDD_MAIN);
        ASSERT_TRUE(dialog);
        for (HWND child = GetWindow(dialog.get(), GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            const std::string kind = className(child), text = windowText(child);
            if (char key = (kind == "Button" || kind == "Static") ? mnemonic(text) : 0) {
                targets[key].push_back("control \"" + text + "\"");
            }
        }
        UniqueMenu bar(
            LoadMenuIndirectA(loadLocalisedResource(RT_MENU, MAKEINTRESOURCEA(IDM_MAIN))));
        ASSERT_TRUE(bar);
        std::vector<UINT> commands;
        for (const auto& [key, title] : collectCommands(bar.get(), commands, language.name)) {
            targets[key].push_back("menu \"" + title + "\"");
        }
        for (const auto& [key, named] : targets) {
            EXPECT_EQ(named.size(), 1u) << language.name << ": Alt+" << key << " reaches "
                                        << ::testing::PrintToString(named);
        }
    }
}

// Which buttons the rights show is the native Elevation test's; here the
// template's controls follow the plan.
TEST_F(TemplateTest, TheAdminControlsFollowTheRights) {
    UniqueWindow dialog = openDialog(languages[0].id, IDD_MAIN);
    ASSERT_TRUE(dialog);
    kelvane::updateAdminControls(dialog.get(), /*adminRights=*/false, /*isLocal=*/true);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog.get(), IDC_START)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog.get(), IDC_ADMIN)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog.get(), IDC_REFRESH))) << "others stay";
}
