// The dialog and menu templates in each language: every control the code
// relies on is there, no text is cut off, no two controls overlap and no
// menu offers the same mnemonic twice, and each Alt+letter of the main window
// names one control or menu.
#include "framework/win/ModuleResources.h"
#include "framework/win/UniqueHandle.h"
#include "resources/ResourceIds.h"

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

// The text as drawn: without the mnemonic marks.
std::string shownText(const std::string& text) {
    std::string shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;
        }
        shown += text[i];
    }
    return shown;
}

char mnemonic(const std::string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '&') {
            if (text[i + 1] != '&') {
                return static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 1])));
            }
            ++i;
        }
    }
    return 0;
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
    UniqueWindow openDialog(LANGID language, unsigned id) {
        setResourceLanguage(language);
        auto layout =
            static_cast<const DLGTEMPLATE*>(loadLocalisedResource(RT_DIALOG, MAKEINTRESOURCEA(id)));
        if (!layout) {
            return UniqueWindow();
        }
        UniqueWindow dialog(
            CreateDialogIndirectParamA(GetModuleHandleA(nullptr), layout, nullptr, plainDialog, 0));
        if (dialog) {
            ShowWindow(dialog.get(), SW_SHOWNORMAL);
            UpdateWindow(dialog.get());
            savePreview(dialog.get(), std::to_string(id) + "-" + std::to_string(language));
        }
        return dialog;
    }

    // scripts/screenshot-windows sets KELVANE_PREVIEW_DIR to get a picture of
    // each window to look at; the test itself never waits for the screen.
    static void savePreview(HWND window, const std::string& name) {
        const char* folder = std::getenv("KELVANE_PREVIEW_DIR");
        if (!folder) {
            return;
        }
        SetForegroundWindow(window);
        for (int i = 0; i < 25; ++i) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageA(&message);
            }
            Sleep(20);
        }
        RECT box;
        GetWindowRect(window, &box);
        int width = box.right - box.left, height = box.bottom - box.top;
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

        DWORD stride = ((width * 3 + 3) / 4) * 4, size = stride * height;
        BITMAPFILEHEADER file = {0x4D42,
                                 static_cast<DWORD>(sizeof file + sizeof info.bmiHeader + size), 0,
                                 0, sizeof file + sizeof info.bmiHeader};
        UniqueFileHandle out(CreateFileA((std::string(folder) + "\\" + name + ".bmp").c_str(),
                                         GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        WriteFile(out.get(), &file, sizeof file, &written, nullptr);
        WriteFile(out.get(), &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
        WriteFile(out.get(), bits, size, &written, nullptr);
    }

    // Every text control wide enough for its text in the dialog's font.
    static void expectTextsFit(HWND dialog, const char* where) {
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        HDC dc = GetDC(dialog);
        HGDIOBJ old = SelectObject(dc, font);
        for (HWND child = GetWindow(dialog, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            std::string kind = className(child);
            LONG style = GetWindowLongA(child, GWL_STYLE);
            std::string text = shownText(windowText(child));
            if ((kind != "Button" && kind != "Static") || text.empty() ||
                (kind == "Static" && (style & SS_TYPEMASK) == SS_ICON)) {
                continue;
            }
            RECT client;
            GetClientRect(child, &client);
            int room = client.right;
            LONG buttonKind = style & BS_TYPEMASK;
            bool box = kind == "Button" &&
                       (buttonKind == BS_AUTOCHECKBOX || buttonKind == BS_CHECKBOX ||
                        buttonKind == BS_AUTORADIOBUTTON || buttonKind == BS_RADIOBUTTON);
            if (box) {
                room -= GetSystemMetrics(SM_CXMENUCHECK) + 4;
            } else if (kind == "Button") {
                room -= 2 * GetSystemMetrics(SM_CXEDGE) + 4;
            }
            SIZE extent = {};
            if (kind == "Static" && (style & SS_TYPEMASK) == SS_LEFT && client.bottom >= 16) {
                continue; // a word-wrapping text of several lines
            }
            GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            EXPECT_LE(extent.cx, room) << where << ": \"" << text << "\" is cut off";
        }
        SelectObject(dc, old);
        ReleaseDC(dialog, dc);
    }

    static void expectNoOverlaps(HWND dialog, const char* where) {
        std::vector<std::pair<HWND, RECT>> shown;
        for (HWND child = GetWindow(dialog, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (!IsWindowVisible(child)) {
                continue;
            }
            RECT box;
            GetWindowRect(child, &box);
            if (className(child) == "ComboBox") {
                // A combo box's rectangle includes its closed list.
                COMBOBOXINFO info{sizeof info};
                GetComboBoxInfo(child, &info);
                GetWindowRect(info.hwndItem ? child : child, &box);
                box.bottom = box.top +
                             static_cast<LONG>(SendMessageA(child, CB_GETITEMHEIGHT,
                                                            static_cast<WPARAM>(-1), 0)) +
                             6;
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
};

} // namespace

TEST_F(TemplateTest, MainWindowHasEveryControlInEveryLanguage) {
    const int ids[] = {IDC_HOST,        IDC_SERVICE_LIST, IDC_BROWSE_HOST, IDC_START,
                       IDC_STOP,        IDC_REFRESH,      IDC_REMOVE,      IDC_PAUSE,
                       IDC_CONTINUE,    IDC_SERVICE_KIND, IDC_DRIVER_KIND, IDC_RESTART,
                       IDC_LOGIN_AS,    IDC_DRIVERS,      IDC_SERVICES,    IDC_ACTIVE,
                       IDC_INACTIVE,    IDC_SERVICE_ICON, IDC_FILTER,      IDC_MICROSOFT,
                       IDC_STATUS_LINE, IDC_ADMIN};
    for (const Language& language : languages) {
        UniqueWindow dialog = openDialog(language.id, IDD_MAIN);
        ASSERT_TRUE(dialog) << language.name;
        for (int id : ids) {
            EXPECT_NE(GetDlgItem(dialog.get(), id), nullptr) << language.name << " control " << id;
        }
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog.get(), IDC_ADMIN)))
            << "shown only when elevation helps";
        EXPECT_EQ(LOWORD(SendMessageA(dialog.get(), DM_GETDEFID, 0, 0)), IDC_REFRESH);
        EXPECT_EQ(className(GetDlgItem(dialog.get(), IDC_SERVICE_LIST)), "SysListView32");
        std::string where = std::string("main window ") + language.name;
        expectTextsFit(dialog.get(), where.c_str());
        expectNoOverlaps(dialog.get(), where.c_str());
    }
}

TEST_F(TemplateTest, AboutAndLegendFitInEveryLanguage) {
    for (const Language& language : languages) {
        for (unsigned id : {IDD_ABOUT, IDD_COLOR_LEGEND}) {
            UniqueWindow dialog = openDialog(language.id, id);
            ASSERT_TRUE(dialog) << language.name << " dialog " << id;
            std::string where = std::string("dialog ") + std::to_string(id) + " " + language.name;
            expectTextsFit(dialog.get(), where.c_str());
            expectNoOverlaps(dialog.get(), where.c_str());
        }
        setResourceLanguage(language.id);
        UniqueWindow legend = openDialog(language.id, IDD_COLOR_LEGEND);
        EXPECT_NE(GetDlgItem(legend.get(), IDC_LEGEND_LIST), nullptr);
        EXPECT_NE(GetDlgItem(legend.get(), IDOK), nullptr);
    }
}

namespace {

// Every command of a menu and its sub-menus; mnemonics checked per level.
void collectCommands(HMENU menu, std::vector<UINT>& commands, const std::string& where) {
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
}

} // namespace

TEST_F(TemplateTest, MenusCarryTheirCommandsInEveryLanguage) {
    const std::map<unsigned, std::vector<UINT>> expected = {
        {IDM_MAIN,
         {ID_CREATE_SERVICE, ID_EDIT_SERVICE, ID_EXPORT, ID_EXIT, ID_COLOR_BACKGROUND,
          ID_COLOR_LEGEND, ID_RESET_VIEW, ID_CHECK_VERSION, ID_SHOW_PAD, IDC_TASK_MANAGER,
          ID_EVENT_VIEWER, ID_HELP_CONTENTS, ID_BUG_REPORT, ID_ABOUT}},
        {IDM_SERVICE_CONTEXT,
         {IDC_START, IDC_STOP, IDC_PAUSE, IDC_CONTINUE, IDC_RESTART, ID_START_TYPE_DISABLED,
          ID_START_TYPE_MANUAL, ID_START_TYPE_AUTOMATIC, ID_START_TYPE_BOOT, ID_START_TYPE_SYSTEM,
          ID_KILL_PROCESS, ID_EDIT_SERVICE, ID_COPY_TO_CLIPBOARD, ID_FILE_PROPERTIES,
          ID_OPEN_FOLDER, IDC_REMOVE}},
        {IDM_TRAY, {ID_TRAY_SHOW, ID_EVENT_VIEWER, ID_ABOUT, ID_EXIT}},
    };
    for (const Language& language : languages) {
        setResourceLanguage(language.id);
        for (const auto& [id, commands] : expected) {
            const void* layout = loadLocalisedResource(RT_MENU, MAKEINTRESOURCEA(id));
            ASSERT_NE(layout, nullptr) << language.name << " menu " << id;
            UniqueMenu menu(LoadMenuIndirectA(layout));
            ASSERT_TRUE(menu);
            std::vector<UINT> found;
            collectCommands(menu.get(), found,
                            std::string(language.name) + " menu " + std::to_string(id));
            EXPECT_EQ(found, commands) << language.name << " menu " << id;
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
            std::string kind = className(child);
            if (kind != "Button" && kind != "Static") {
                continue;
            }
            std::string text = windowText(child);
            if (char key = mnemonic(text)) {
                targets[key].push_back("control \"" + text + "\"");
            }
        }
        UniqueMenu bar(
            LoadMenuIndirectA(loadLocalisedResource(RT_MENU, MAKEINTRESOURCEA(IDM_MAIN))));
        ASSERT_TRUE(bar);
        for (int i = 0; i < GetMenuItemCount(bar.get()); ++i) {
            char title[64] = {};
            GetMenuStringA(bar.get(), static_cast<UINT>(i), title, sizeof title, MF_BYPOSITION);
            char key = mnemonic(title);
            EXPECT_NE(key, 0) << language.name << ": menu \"" << title << "\" has no letter";
            targets[key].push_back(std::string("menu \"") + title + "\"");
        }
        for (const auto& [key, named] : targets) {
            std::string all;
            for (const std::string& target : named) {
                all += " " + target;
            }
            EXPECT_EQ(named.size(), 1u) << language.name << ": Alt+" << key << " reaches" << all;
        }
    }
}
