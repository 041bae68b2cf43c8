// The operations' dialog templates and texts in each language: every
// control the code relies on is there, no label is cut off, no two controls
// overlap, and every summary line has a text.
#include "framework/win/ModuleResources.h"
#include "framework/win/UniqueHandle.h"
#include "resources/ResourceIds.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace Plinth;

namespace {

struct Language {
    LANGID id;
    const char* name;
    const char* parametersCaption;
    const char* connectCaption;
};
const Language languages[] = {{MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK), "en",
                               "Kelvane - Service parameters", "Kelvane - Connect as"},
                              {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), "de",
                               "Kelvane - Dienstparameter", "Kelvane - Verbinden als"},
                              {MAKELANGID(LANG_SWEDISH, SUBLANG_SWEDISH), "sv",
                               "Kelvane - Tj\xE4nstparametrar" /* ANSI */, "Kelvane - Anslut som"}};

INT_PTR CALLBACK plainDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

std::string textOf(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string kindOf(HWND window) {
    char kind[64] = {};
    GetClassNameA(window, kind, sizeof kind);
    return kind;
}

class OperationTemplatesTest : public ::testing::Test {
protected:
    void TearDown() override { setResourceLanguage(languages[0].id); }

    UniqueWindow open(const Language& language, int id) {
        setResourceLanguage(language.id);
        auto layout =
            static_cast<const DLGTEMPLATE*>(loadLocalisedResource(RT_DIALOG, MAKEINTRESOURCEA(id)));
        return UniqueWindow(layout ? CreateDialogIndirectParamA(GetModuleHandleA(nullptr), layout,
                                                                nullptr, plainDialog, 0)
                                   : nullptr);
    }

    // Labels and buttons wide enough for their text; no overlapping controls.
    static void expectLaidOut(HWND dialog, const std::string& where) {
        HDC dc = GetDC(dialog);
        HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
        std::vector<RECT> seen;
        for (HWND child = GetWindow(dialog, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            std::string kind = kindOf(child), text = textOf(child);
            text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
            if ((kind == "Static" || kind == "Button") && !text.empty()) {
                RECT client;
                GetClientRect(child, &client);
                LONG style = GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK;
                int room =
                    client.right -
                    (kind == "Button"
                         ? (style == BS_AUTOCHECKBOX ? GetSystemMetrics(SM_CXMENUCHECK) + 4 : 8)
                         : 0);
                SIZE extent{};
                GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
                EXPECT_LE(extent.cx, room) << where << ": \"" << text << "\" is cut off";
            }
            RECT box;
            GetWindowRect(child, &box);
            if (kind == "ComboBox") {
                box.bottom = box.top + 14; // without the closed list
            }
            for (const RECT& other : seen) {
                RECT common;
                EXPECT_FALSE(IntersectRect(&common, &box, &other))
                    << where << ": control " << GetDlgCtrlID(child) << " overlaps another";
            }
            seen.push_back(box);
        }
        SelectObject(dc, old);
        ReleaseDC(dialog, dc);
    }
};

} // namespace

TEST_F(OperationTemplatesTest, BothDialogsHaveTheirControlsInEveryLanguage) {
    for (const Language& language : languages) {
        UniqueWindow parameters = open(language, IDD_SERVICE_PARAMETERS);
        ASSERT_TRUE(parameters) << language.name;
        EXPECT_EQ(textOf(parameters.get()), language.parametersCaption);
        for (int id : {IDC_PARAM_NAME, IDC_PARAM_DISPLAY_NAME, IDC_PARAM_COMMAND, IDC_PARAM_BROWSE,
                       IDC_PARAM_SERVICE_TYPE, IDC_PARAM_INTERACTIVE, IDC_PARAM_START_TYPE,
                       IDC_PARAM_ACCOUNT, IDC_PASSWORD, IDOK, IDCANCEL}) {
            EXPECT_NE(GetDlgItem(parameters.get(), id), nullptr) << language.name << " " << id;
        }
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(parameters.get(), IDC_PASSWORD), GWL_STYLE) &
                    ES_PASSWORD);
        expectLaidOut(parameters.get(), std::string("parameters ") + language.name);

        UniqueWindow connect = open(language, IDD_CONNECT_AS);
        ASSERT_TRUE(connect) << language.name;
        EXPECT_EQ(textOf(connect.get()), language.connectCaption);
        for (int id : {IDC_CONNECT_HOST, IDC_CONNECT_BROWSE, IDC_CONNECT_USER, IDC_PASSWORD, IDOK,
                       IDCANCEL}) {
            EXPECT_NE(GetDlgItem(connect.get(), id), nullptr) << language.name << " " << id;
        }
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(connect.get(), IDC_PASSWORD), GWL_STYLE) &
                    ES_PASSWORD);
        expectLaidOut(connect.get(), std::string("connect as ") + language.name);
    }
}

TEST_F(OperationTemplatesTest, EverySummaryLineHasATextInEveryLanguage) {
    for (const Language& language : languages) {
        setResourceLanguage(language.id);
        for (unsigned id : {150u, 151u, 152u, 153u, 154u, 155u, 156u, 157u, 158u, 159u,
                            unsigned(IDS_PROCESSES_KILLED), unsigned(IDS_PROCESS_KILLED)}) {
            EXPECT_FALSE(loadString(id).empty()) << language.name << " " << id;
        }
        // The counted forms must take the number.
        for (unsigned id : {150u, 154u, 156u, 158u, unsigned(IDS_PROCESSES_KILLED)}) {
            EXPECT_NE(loadString(id).find("%d"), std::string::npos) << language.name << " " << id;
        }
    }
    setResourceLanguage(languages[0].id);
    EXPECT_EQ(loadString(IDS_PROCESSES_KILLED), "%d processes have been killed.");
    EXPECT_EQ(loadString(IDS_PROCESS_KILLED), "%d process has been killed.");
}
