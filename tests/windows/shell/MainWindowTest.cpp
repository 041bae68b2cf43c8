// The real main window, opened in this process on Wine's service manager and
// driven with the messages a user's actions send.
#include "shell/win/MainWindow.h"
#include "tests/windows/support/DialogScript.h"
#include "tests/windows/support/MainWindowThread.h"
#include "tests/windows/support/SettingsFileAside.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TestServices.h"
#include "tests/windows/support/TrayInstances.h"

#include "framework/ErrorContext.h"
#include "framework/Exception.h"
#include "framework/FailureReport.h"
#include "framework/win/DispatchingWaits.h"
#include "framework/win/MessageBoxes.h"
#include "framework/win/MessageLoop.h"
#include "framework/win/ModuleResources.h"
#include "inventory/ListSortOrder.h"
#include "resources/ResourceIds.h"
#include "shell/win/ServiceDatabaseKey.h"
#include "shell/win/StartTargets.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>
#include <map>
#include <numeric>
#include <string>

using namespace kelvane;
using namespace kelvane::test;

namespace {

// Messages as the program's own loop handles them: the window's keys go
// through its accelerators and dialog navigation first.
void pumpAsTheProgram() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        Plinth::MessageLoop::current().dispatch(message);
    }
}

// Answers the first popup menu that opens with Escape and notes which menu
// it was and the state of its entries.
struct MenuWatch {
    static inline bool shown = false;
    static inline HMENU opened = nullptr;
    static inline std::map<UINT, UINT> states; // by command id
    static void CALLBACK check(HWND, UINT, UINT_PTR, DWORD) {
        HWND window = FindWindowA("#32768", nullptr);
        if (shown || !window || !IsWindowVisible(window)) {
            return;
        }
        shown = true;
        opened = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
        for (int i = 0; opened && i < GetMenuItemCount(opened); ++i) {
            states[GetMenuItemID(opened, i)] = GetMenuState(opened, i, MF_BYPOSITION);
        }
        EndMenu();
    }
    UINT_PTR timer;
    MenuWatch() : timer(SetTimer(nullptr, 0, 50, check)) {
        shown = false;
        opened = nullptr;
        states.clear();
    }
    ~MenuWatch() { KillTimer(nullptr, timer); }
};

class MainWindowTest : public ServiceFixture {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(prepareMainWindowThread()); }
    static void TearDownTestSuite() { closeServiceDatabaseKey(); }

    void open(bool persist = false, ManagerOpener openManager = nullptr) {
        config.noPersist = !persist;
        config.noUpdate = true;
        window = std::make_unique<MainWindow>(config, openManager ? std::move(openManager) : opener);
        window->create(nullptr);
        pump();
    }
    void TearDown() override { closeMainWindow(window); }

    HWND control(int id) const { return window->item(id); }
    HWND listHandle() const { return control(IDC_SERVICE_LIST); }
    int indexOfService(const std::string& name) {
        ServiceListView& list = window->list();
        for (int i = 0; i < list.count(); ++i) {
            if (list.textAt(i, 0) == name) {
                return i;
            }
        }
        return -1;
    }
    void click(int id) { SendMessageA(control(id), BM_CLICK, 0, 0); }
    void chooseKind(int comboId, int itemIndex) {
        SendMessageA(control(comboId), CB_SETCURSEL, itemIndex, 0);
        SendMessageA(window->handle(), WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control(comboId)));
    }
    void typeSearch(const std::string& text) {
        COMBOBOXINFO info{sizeof info};
        ASSERT_TRUE(GetComboBoxInfo(control(IDC_FILTER), &info));
        SetWindowTextA(info.hwndItem, "");
        for (char c : text) {
            SendMessageA(info.hwndItem, WM_CHAR, static_cast<unsigned char>(c), 1);
        }
        pump();
    }
    void clickHeader(int column) {
        HWND header = reinterpret_cast<HWND>(SendMessageA(listHandle(), LVM_GETHEADER, 0, 0));
        RECT rect{};
        SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&rect));
        LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(header, WM_LBUTTONUP, 0, at);
        pump();
    }
    // A right click at a point of the list's client area.
    bool rightClick(POINT at) {
        POINT screen = at;
        ClientToScreen(listHandle(), &screen);
        SetCursorPos(screen.x, screen.y);
        MenuWatch watch;
        PostMessageA(listHandle(), WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        SendMessageA(listHandle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
        pump();
        return MenuWatch::shown;
    }
    POINT cellPoint(int index, int column) {
        RECT cell{};
        cell.top = column;
        cell.left = LVIR_LABEL;
        SendMessageA(listHandle(), LVM_GETSUBITEMRECT, index, reinterpret_cast<LPARAM>(&cell));
        return {cell.left + 5, (cell.top + cell.bottom) / 2};
    }
    // Index -1 stands for every item.
    void setState(int index, UINT state, UINT mask = LVIS_SELECTED) {
        LVITEMA item{};
        item.stateMask = mask;
        item.state = state;
        SendMessageA(listHandle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        pump();
    }
    void select(int index) {
        SendMessageA(listHandle(), LVM_SETSELECTIONMARK, 0, index);
        setState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    bool enabled(int id) const { return IsWindowEnabled(control(id)) != FALSE; }
    std::vector<int> columnOrder() {
        std::vector<int> order(listColumnCount);
        SendMessageA(listHandle(), LVM_GETCOLUMNORDERARRAY, order.size(),
                     reinterpret_cast<LPARAM>(order.data()));
        return order;
    }
    int columnWidth(int column) {
        return static_cast<int>(SendMessageA(listHandle(), LVM_GETCOLUMNWIDTH, column, 0));
    }
    // The widest text of a column as the list draws it.
    int widestText(int column) {
        int widest = 0;
        for (int i = 0; i < window->list().count(); ++i) {
            widest = std::max(
                widest, static_cast<int>(SendMessageA(
                            listHandle(), LVM_GETSTRINGWIDTHA, 0,
                            reinterpret_cast<LPARAM>(window->list().textAt(i, column).c_str()))));
        }
        return widest;
    }
    bool sortedBy(int column, bool ascending) {
        ServiceListView& list = window->list();
        for (int i = 1; i < list.count(); ++i) {
            int order =
                compareListTexts(column, list.textAt(i - 1, column), list.textAt(i, column));
            if (ascending ? order > 0 : order < 0) {
                return false;
            }
        }
        return true;
    }
    void closeWindow() {
        SendMessageA(window->handle(), WM_COMMAND, IDCANCEL, 0);
        window.reset();
        pump();
    }
    // What the worker threads ask for after a change: a refresh (registry
    // watcher, status polls), then the rebuild that ends each icon pass.
    void refreshAsTheWorkersDo() {
        SendMessageA(window->handle(), WM_APP, 0, 0);
        SendMessageA(window->handle(), WM_APP + 1, 0, 0);
        pump();
    }
    void showOnlyOurServices() {
        typeSearch("kvtest-" + std::to_string(GetCurrentProcessId()) + "-");
    }
    std::vector<std::string> itemsWith(UINT flag) {
        std::vector<std::string> names;
        for (int i = -1; (i = static_cast<int>(SendMessageA(listHandle(), LVM_GETNEXTITEM,
                                                            static_cast<WPARAM>(i), flag))) >= 0;) {
            names.push_back(window->list().textAt(i, 0));
        }
        return names;
    }
    void readHost(const std::string& name) {
        SetWindowTextA(control(IDC_HOST), name.c_str());
        click(IDC_REFRESH);
        pump();
    }
    std::string started(const std::string& arguments = "--accept=stop") {
        std::string name = services.create({arguments});
        EXPECT_TRUE(startService(name) && waitForState(name, SERVICE_RUNNING)) << name;
        return name;
    }

    AppConfig config;
    ManagerOpener opener;
    std::unique_ptr<MainWindow> window;
};

std::string clipboardText() {
    std::string text;
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_TEXT)) {
            if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
                text = bytes;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    }
    return text;
}

// A window whose handler fails on WM_APP, as any window of the program can.
LRESULT CALLBACK failingProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_APP) {
        throw Plinth::UserException("handler failed");
    }
    return DefWindowProcA(window, message, w, l);
}

// Set by a manager opener once the read hangs in it.
std::atomic<bool> readHangs{false};

// Once the read hangs, posts WM_CLOSE to the dialogs of this thread, as the
// close box does, and stops (a timer that keeps firing would keep restarting
// the refresh's waits).
void CALLBACK closeDialogsOfThisThread(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!readHangs) {
        return;
    }
    KillTimer(nullptr, timer);
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM) {
            char kind[16] = {};
            GetClassNameA(window, kind, sizeof kind);
            if (std::string(kind) == "#32770" && IsWindowVisible(window)) {
                PostMessageA(window, WM_CLOSE, 0, 0);
            }
            return TRUE;
        },
        0);
}

} // namespace

TEST_F(MainWindowTest, ANewServiceIsDrawnYellowWithBoldNames) {
    open();
    // The registry watcher brings the service in, and one creation may signal
    // it twice: the second refresh then ends the mark the first one set. A
    // creation whose mark is gone after the watcher fell quiet is made anew.
    std::string fresh;
    for (int attempt = 0; attempt < 3 && fresh.empty(); ++attempt) {
        const std::string name = services.create();
        pumpUntil([&] { return indexOfService(name) >= 0; });
        pumpUntil([] { return false; }, 500);
        const int index = indexOfService(name);
        if (index >= 0 &&
            window->list().textAt(index, listChangesColumn) == Plinth::loadString(180)) {
            fresh = name;
        }
    }
    ASSERT_FALSE(fresh.empty()) << "a created service is listed and marked new";

    HDC dc = GetDC(listHandle());
    NMLVCUSTOMDRAW draw{};
    // Asks the window how to draw the new service's row, or one cell of it.
    auto drawFresh = [&](int subItem) {
        const int index = indexOfService(fresh);
        draw.nmcd.hdr = {listHandle(), IDC_SERVICE_LIST, static_cast<UINT>(NM_CUSTOMDRAW)};
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | (subItem < 0 ? 0 : CDDS_SUBITEM);
        draw.nmcd.hdc = dc;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(index);
        draw.nmcd.lItemlParam = window->list().numberAt(index);
        draw.iSubItem = std::max(subItem, 0);
        return SendMessageA(window->handle(), WM_NOTIFY, IDC_SERVICE_LIST,
                            reinterpret_cast<LPARAM>(&draw));
    };
    auto bold = [&] {
        LOGFONTA font{};
        GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
        return font.lfWeight == FW_BOLD;
    };
    EXPECT_EQ(drawFresh(-1), CDRF_NEWFONT) << "no sort column, no search: one style for the row";
    EXPECT_EQ(draw.clrTextBk, RGB(255, 255, 0));
    EXPECT_TRUE(bold());

    clickHeader(3);
    EXPECT_EQ(drawFresh(-1), CDRF_NOTIFYSUBITEMDRAW) << "a chosen sort column draws cell by cell";
    drawFresh(6);
    EXPECT_EQ(draw.clrTextBk, RGB(255, 255, 0));
    EXPECT_FALSE(bold()) << "only the name columns of a new service are bold";

    // The next refresh ends the marks as it starts, before any rebuild.
    window->refresh();
    EXPECT_EQ(window->list().textAt(indexOfService(fresh), listChangesColumn), "");
    drawFresh(6);
    EXPECT_NE(draw.clrTextBk, RGB(255, 255, 0));
    ReleaseDC(listHandle(), dc);
}

TEST_F(MainWindowTest, ActionButtonsFollowTheSelection) {
    std::string manual = services.create();
    open();
    for (int id : {IDC_START, IDC_STOP, IDC_PAUSE, IDC_CONTINUE, IDC_RESTART, IDC_REMOVE}) {
        EXPECT_FALSE(enabled(id)) << "nothing selected: " << id;
    }
    // The first paint comes while the window is still being built; an
    // enabled button it leaves blank stays blank.
    for (int id : {IDC_REFRESH, IDC_LOGIN_AS}) {
        HWND button = control(id);
        RECT box{};
        GetClientRect(button, &box);
        HDC dc = GetDC(button);
        int navy = 0;
        for (int y = box.top; y < box.bottom; ++y) {
            for (int x = box.left; x < box.right; ++x) {
                navy += GetPixel(dc, x, y) == RGB(0, 0, 128);
            }
        }
        ReleaseDC(button, dc);
        EXPECT_GT(navy, 0) << "button " << id << " shows no text";
    }
    select(indexOfService(manual));
    EXPECT_TRUE(enabled(IDC_START));
    EXPECT_FALSE(enabled(IDC_STOP));
    EXPECT_EQ(window->statusLine(), manual) << "the display name is shown";
}

TEST_F(MainWindowTest, ContextMenuCopyAndFileProperties) {
    TestServiceSetup missing;
    missing.binaryPath = "C:\\nowhere\\kelvane-missing.exe";
    std::string ours = services.create(missing);
    open();
    typeSearch(ours);
    ASSERT_EQ(window->list().count(), 1);

    EXPECT_TRUE(rightClick(cellPoint(0, 1)));
    SendMessageA(window->handle(), WM_COMMAND, ID_COPY_TO_CLIPBOARD, 0);
    EXPECT_EQ(clipboardText(), ours);

    ASSERT_EQ(window->list().textAt(0, 8), "") << "the image file does not exist";
    SendMessageA(window->handle(), WM_COMMAND, ID_FILE_PROPERTIES, 0);
    EXPECT_EQ(window->statusLine(), "There is no valid binary path.");
}

TEST_F(MainWindowTest, ARefreshThatFindsNoChangeUpdatesNoItem) {
    open();
    int before = window->list().updates();
    int count = window->list().count();
    window->refresh();
    EXPECT_EQ(window->list().updates(), before);
    EXPECT_EQ(window->list().count(), count);
}

TEST_F(MainWindowTest, AChangeByAnotherProgramRefreshesTheListByItself) {
    std::string ours = services.create();
    open();
    ASSERT_EQ(runProcess("\"" + programPath("kelvane-service-change.exe") + "\" " + ours +
                         " renamed-by-another-program"),
              0);
    EXPECT_TRUE(pumpUntil([&] {
        int index = indexOfService(ours);
        return index >= 0 && window->list().textAt(index, 1) == "renamed-by-another-program";
    })) << "no F5 needed";
}

TEST_F(MainWindowTest, StartButtonStartsTheSelectionAndReportsEachFailure) {
    std::string first = services.create({"--start-ms=300"});
    std::string broken = services.create({"", "C:\\kelvane\\no-such-service.exe"});
    std::string third = services.create();
    open();
    showOnlyOurServices();
    setState(-1, LVIS_SELECTED);
    ASSERT_TRUE(enabled(IDC_START));
    click(IDC_START);
    SendMessageA(window->handle(), WM_APP + 1, 0, 0); // the icon pass's rebuild
    pump();
    const std::string shown = window->statusLine();
    EXPECT_EQ(shown.rfind("2 services have been started.\r\n" + broken + ": ", 0), 0u)
        << "the summary and the failure stay readable together: " << shown;
    EXPECT_EQ(queryStatus(first).dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_EQ(queryStatus(third).dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
    int index = indexOfService(third);
    ASSERT_GE(index, 0);
    EXPECT_FALSE(window->list().textAt(index, 5).empty()) << "the list shows the new process";
    EXPECT_FALSE(window->busyCounter().busy());
}

TEST_F(MainWindowTest, AltAndAMenusLetterOpensThatMenuAndControlsNoService) {
    std::string name = started("--accept=stop,pause,paramchange");
    const LANGID languages[] = {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK),
                                MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN),
                                MAKELANGID(LANG_SWEDISH, SUBLANG_SWEDISH)};
    for (LANGID language : languages) {
        Plinth::setResourceLanguage(language);
        open();
        typeSearch(name);
        select(indexOfService(name));
        HMENU bar = GetMenu(window->handle());
        ASSERT_EQ(GetMenuItemCount(bar), 4);
        for (int i = 0; i < GetMenuItemCount(bar); ++i) {
            char title[64] = {};
            GetMenuStringA(bar, i, title, sizeof title, MF_BYPOSITION);
            const char* mark = std::strchr(title, '&');
            ASSERT_NE(mark, nullptr) << title;
            const UINT key = static_cast<UINT>(std::toupper(static_cast<unsigned char>(mark[1])));
            MenuWatch watch;
            // Alt held: the context bit of the key's message.
            PostMessageA(listHandle(), WM_SYSKEYDOWN, key, 0x20000001);
            pumpAsTheProgram();
            EXPECT_EQ(MenuWatch::opened, GetSubMenu(bar, i)) << language << " " << title;
            EXPECT_EQ(queryStatus(name).dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING))
                << language << " " << title;
        }
        closeWindow();
    }
    Plinth::setResourceLanguage(languages[0]);
}

TEST_F(MainWindowTest, TheSelectionFollowsItsServicesWhenARefreshReordersTheList) {
    std::string first = services.create({"--accept=stop"});
    std::string second = services.create({"--accept=stop"});
    std::string idle = services.create();
    open();
    showOnlyOurServices();
    // A rebuild adds the items in the order the window first saw the
    // services, and equal items keep that order when sorted: "mover", seen
    // first, lands before "chosen" once both run.
    const bool firstSeenFirst = window->list().numberAt(indexOfService(first)) <
                                window->list().numberAt(indexOfService(second));
    const std::string mover = firstSeenFirst ? first : second;
    const std::string chosen = firstSeenFirst ? second : first;
    ASSERT_TRUE(startService(chosen));
    ASSERT_TRUE(waitForState(chosen, SERVICE_RUNNING));
    refreshAsTheWorkersDo();
    clickHeader(4);
    clickHeader(4); // by Status, descending: the running services first
    select(indexOfService(chosen));
    const int before = indexOfService(chosen);

    ASSERT_TRUE(startService(mover)); // another program starts it
    ASSERT_TRUE(waitForState(mover, SERVICE_RUNNING));
    refreshAsTheWorkersDo();
    ASSERT_NE(indexOfService(chosen), before) << "the order must have changed";
    EXPECT_EQ(itemsWith(LVNI_SELECTED), std::vector<std::string>{chosen});
    EXPECT_EQ(itemsWith(LVNI_FOCUSED), std::vector<std::string>{chosen});
    ASSERT_TRUE(enabled(IDC_STOP));
    click(IDC_STOP);
    EXPECT_EQ(queryStatus(chosen).dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED));
    EXPECT_EQ(queryStatus(mover).dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));

    setState(-1, 0);
    select(indexOfService(mover));
    setState(indexOfService(idle), LVIS_SELECTED);
    ASSERT_TRUE(controlService(mover, SERVICE_CONTROL_STOP));
    ASSERT_TRUE(waitForState(mover, SERVICE_STOPPED));
    refreshAsTheWorkersDo();
    std::vector<std::string> both = itemsWith(LVNI_SELECTED);
    std::sort(both.begin(), both.end());
    EXPECT_EQ(both, (std::vector<std::string>{std::min(mover, idle), std::max(mover, idle)}))
        << "a selection of two stays whole";
}

TEST_F(MainWindowTest, ARefreshKeepsTheStretchInViewWithNothingSelected) {
    open();
    click(IDC_DRIVERS);
    const int count = window->list().count();
    const int perPage = static_cast<int>(SendMessageA(listHandle(), LVM_GETCOUNTPERPAGE, 0, 0));
    ASSERT_GT(count, perPage) << "the list must be long enough to scroll";
    SendMessageA(listHandle(), LVM_ENSUREVISIBLE, count - 1, FALSE);
    const int top = static_cast<int>(SendMessageA(listHandle(), LVM_GETTOPINDEX, 0, 0));
    ASSERT_GT(top, 0);
    const std::string first = window->list().textAt(top, 0);
    ASSERT_TRUE(itemsWith(LVNI_SELECTED).empty());

    refreshAsTheWorkersDo();
    const int after = static_cast<int>(SendMessageA(listHandle(), LVM_GETTOPINDEX, 0, 0));
    EXPECT_EQ(window->list().textAt(after, 0), first);
    EXPECT_TRUE(itemsWith(LVNI_SELECTED).empty()) << "nothing selected stays nothing";
}

TEST_F(MainWindowTest, KillRefusesOnTheListOfAnotherComputer) {
    std::string name = started();
    const DWORD pid = queryStatus(name).dwProcessId;
    Plinth::UniqueHandleObject process(OpenProcess(SYNCHRONIZE, FALSE, pid));
    ASSERT_TRUE(process);
    open();
    // Wine's manager answers for any name, so the list shows this computer's
    // services under another computer's name, process ids included.
    readHost("kvtest-elsewhere");
    ASSERT_FALSE(window->hostInfo().isLocal);
    typeSearch(name);
    ASSERT_EQ(window->list().count(), 1);
    ASSERT_FALSE(window->list().textAt(0, 5).empty());
    select(0);

    ASSERT_TRUE(rightClick(cellPoint(0, 1)));
    EXPECT_TRUE(MenuWatch::states[ID_KILL_PROCESS] & MF_GRAYED);
    EXPECT_FALSE(MenuWatch::states[IDC_STOP] & MF_GRAYED) << "the other commands stay";

    AnsweredBoxes boxes(IDYES);
    SendMessageA(window->handle(), WM_COMMAND, ID_KILL_PROCESS, 0);
    EXPECT_EQ(WaitForSingleObject(process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(boxes.boxes.empty()) << "not even the question";
    EXPECT_EQ(window->statusLine(), Plinth::loadString(IDS_KILL_ONLY_LOCAL));
}

TEST_F(MainWindowTest, AFailedConnectAsLeavesTheCommandsOnTheListedComputer) {
    open();
    const std::string listed = window->hostInfo().host;
    DialogScript script;
    AnsweredBoxes boxes(IDOK);
    script.expect("Kelvane - Connect as", [](HWND dialog) {
        setDialogText(dialog, IDC_CONNECT_HOST, "kvtest-no-such-computer");
        setDialogText(dialog, IDC_CONNECT_USER, "someone");
        kelvane::test::click(dialog, IDOK);
    });
    click(IDC_LOGIN_AS);
    ASSERT_TRUE(script.finished());
    ASSERT_EQ(boxes.boxes.size(), 1u) << "the failure is reported";
    EXPECT_EQ(boxes.boxes[0].caption, "Exception");
    EXPECT_NE(boxes.boxes[0].text.find("connecting to remote computer"), std::string::npos);
    EXPECT_NE(boxes.boxes[0].text.find("\\\\kvtest-no-such-computer\\IPC$"), std::string::npos)
        << boxes.boxes[0].text;
    EXPECT_EQ(window->commandHost(), listed);
    EXPECT_EQ(window->workingConfig().computerName, listed);
    char field[256] = {};
    GetWindowTextA(control(IDC_HOST), field, sizeof field);
    EXPECT_EQ(field, listed);
    EXPECT_EQ(window->workingConfig().userName, "someone") << "kept for the next try";
}

// Wine's manager answers for every computer name; a real one does not for a
// computer that cannot be reached.
TEST_F(MainWindowTest, AReaderErrorStaysInTheStatusLine) {
    opener = [](ScmConnection& connection, const std::string& host, DWORD rights) {
        if (host == "kvtest-unreachable") {
            Plinth::ErrorContext context("opening service manager", host);
            throw Plinth::LWE(RPC_S_SERVER_UNAVAILABLE);
        }
        connection.openManager(host, rights);
    };
    open();
    readHost("kvtest-unreachable");
    const std::string shown = window->statusLine();
    ASSERT_NE(shown.find(Plinth::LWE(RPC_S_SERVER_UNAVAILABLE).getMessage()), std::string::npos)
        << shown;
    SendMessageA(window->handle(), WM_APP + 1, 0, 0); // the icon pass's rebuild
    pumpUntil([] { return false; }, 1000);
    EXPECT_EQ(window->statusLine(), shown);
}

namespace {

// Makes the main window's own tooltip window fail, as a control that cannot
// be made.
LRESULT CALLBACK refuseTooltips(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA& create = *reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        if (!IS_INTRESOURCE(create.lpszClass) &&
            lstrcmpiA(create.lpszClass, TOOLTIPS_CLASSA) == 0 && create.hwndParent &&
            !(GetWindowLongA(create.hwndParent, GWL_STYLE) & WS_CHILD)) {
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

TEST_F(MainWindowTest, AWindowThatCannotBeBuiltReportsItAndCloses) {
    AnsweredBoxes boxes(IDOK);
    HHOOK hook = SetWindowsHookExA(WH_CBT, refuseTooltips, nullptr, GetCurrentThreadId());
    open();
    UnhookWindowsHookEx(hook);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Exception");
    EXPECT_TRUE(window->ended()) << "it does not run without its reader";
    SendMessageA(window->handle(), WM_APP, 0, 0); // a late refresh finds nothing to run
    SendMessageA(window->handle(), WM_CLOSE, 0, 0);
}

TEST_F(MainWindowTest, AReportDuringAHandlerBelongsToTheMainWindow) {
    open();
    WNDCLASSA type{};
    type.lpfnWndProc = &failingProcedure;
    type.hInstance = GetModuleHandleA(nullptr);
    type.lpszClassName = "KelvaneFailingWindow";
    RegisterClassA(&type);
    Plinth::UniqueWindow failing(CreateWindowExA(0, type.lpszClassName, "", 0, 0, 0, 10, 10,
                                                 nullptr, nullptr, type.hInstance, nullptr));
    ASSERT_TRUE(failing);
    HWND owner = nullptr;
    int boxes = 0;
    Plinth::setMessageBoxHook([&](HWND boxOwner, const std::string&, const std::string&, UINT) {
        owner = boxOwner;
        ++boxes;
        return IDOK;
    });
    PostMessageA(failing.get(), WM_APP, 0, 0);
    Plinth::sleepDispatching(300);
    Plinth::setMessageBoxHook({});
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(owner, window->handle()) << "the box has the main window as its owner";
}

// The close box while a read hangs in the manager: the window ends, and the
// program's end has begun (no report box) before its threads are joined, so
// the reader, which here hangs until the end begins, lets go in time.
TEST_F(MainWindowTest, ClosingWhileAReadHangsEndsTheWindowAfterTheEndHasBegun) {
    config.noPersist = true;
    config.noUpdate = true;
    std::atomic<bool> endSeenByTheReader{false};
    readHangs = false;
    auto hangingManager = [&](ScmConnection&, const std::string&, DWORD) {
        readHangs = true;
        waitUntil([] { return Plinth::shuttingDown(); }, 20000);
        endSeenByTheReader = Plinth::shuttingDown();
        throw Plinth::SDKException(RPC_S_SERVER_UNAVAILABLE);
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, closeDialogsOfThisThread);
    const ULONGLONG started = GetTickCount64();
    runMainWindow(config, /*endsProgram=*/true, hangingManager);
    KillTimer(nullptr, timer);
    const bool ending = Plinth::shuttingDown();
    Plinth::leaveShutdown();
    EXPECT_TRUE(ending);
    EXPECT_TRUE(endSeenByTheReader) << "the counter rose before the reader was waited for";
    EXPECT_LT(GetTickCount64() - started, 60000u) << "a hang check, not a timing";
}

class MainWindowSettingsTest : public MainWindowTest {
protected:
    int marked() {
        int count = 0;
        for (int i = 0; i < window->list().count(); ++i) {
            count += window->list().textAt(i, listChangesColumn).empty() ? 0 : 1;
        }
        return count;
    }
    void writeSettings(const std::string& document) {
        CreateDirectoryA(path.substr(0, path.rfind('\\')).c_str(), nullptr);
        writeBytes(path, document);
    }
    std::string settingsText() { return fileBytes(path); }
    SettingsFileAside settings;
    const std::string& path = settings.path();
};

TEST_F(MainWindowSettingsTest, AReadThatFailsKeepsTheStoredBaseline) {
    std::string ours = services.create();
    open(/*persist=*/true);
    closeWindow();

    bool refuse = true;
    open(true, [&refuse](ScmConnection& connection, const std::string& host, DWORD rights) {
        if (refuse) {
            throw Plinth::SDKException(RPC_S_SERVER_UNAVAILABLE);
        }
        connection.openManager(host, rights);
    });
    EXPECT_EQ(window->list().count(), 0) << "the read failed";
    refuse = false;
    click(IDC_REFRESH);
    EXPECT_GE(indexOfService(ours), 0);
    EXPECT_EQ(marked(), 0) << "nothing changed since the stored baseline";
    refuse = true;
    click(IDC_REFRESH);
    closeWindow();

    EXPECT_NE(settingsText().find("serviceName=\"" + ours + "\""), std::string::npos)
        << "the file still holds the rows";
}

// A work area that does not start at the screen's corner (a taskbar at the
// top or left) separates the placement's coordinates from the screen's.
TEST_F(MainWindowSettingsTest, TheWindowOpensWhereItWasClosedWithTheWorkAreaMoved) {
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    struct WorkArea {
        RECT old;
        ~WorkArea() { SystemParametersInfoA(SPI_SETWORKAREA, 0, &old, 0); }
    } restore{work};
    RECT moved = work;
    moved.left += 40;
    moved.top += 60;
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETWORKAREA, 0, &moved, 0));

    open(/*persist=*/true);
    MoveWindow(window->handle(), 200, 150, 760, 560, TRUE);
    WINDOWPLACEMENT closed{sizeof closed};
    GetWindowPlacement(window->handle(), &closed);
    closeWindow();
    open(true);
    WINDOWPLACEMENT reopened{sizeof reopened};
    GetWindowPlacement(window->handle(), &reopened);
    EXPECT_TRUE(EqualRect(&reopened.rcNormalPosition, &closed.rcNormalPosition))
        << reopened.rcNormalPosition.left << "," << reopened.rcNormalPosition.top << " not "
        << closed.rcNormalPosition.left << "," << closed.rcNormalPosition.top;
    EXPECT_EQ(reopened.showCmd, closed.showCmd);
}

TEST_F(MainWindowSettingsTest, TheArrangedListComesBackAtTheNextStartAndResetViewUndoesIt) {
    open(/*persist=*/true);
    SendMessageA(listHandle(), LVM_SETCOLUMNWIDTH, 1, 222);
    std::vector<int> order = columnOrder();
    std::swap(order[0], order[3]);
    SendMessageA(listHandle(), LVM_SETCOLUMNORDERARRAY, order.size(),
                 reinterpret_cast<LPARAM>(order.data()));
    clickHeader(3);
    clickHeader(3);
    click(IDC_DRIVERS);
    chooseKind(IDC_DRIVER_KIND, 0);
    click(IDC_MICROSOFT);
    click(IDC_INACTIVE);
    const FilterSettings chosen = window->filterSettings();
    closeWindow();

    open(true);
    EXPECT_EQ(columnWidth(1), 222);
    EXPECT_EQ(columnOrder(), order);
    EXPECT_TRUE(window->colouring().sortChosen);
    EXPECT_EQ(window->list().sortColumn(), 3);
    EXPECT_FALSE(window->list().ascending());
    EXPECT_TRUE(sortedBy(3, false)) << "sorted as before";
    EXPECT_EQ(window->filterSettings().typeMask, chosen.typeMask);
    EXPECT_EQ(window->filterSettings().typeMask, 0x31u);
    EXPECT_EQ(window->filterSettings().activeMask, 1u);
    EXPECT_FALSE(window->filterSettings().showMicrosoft);
    EXPECT_EQ(IsDlgButtonChecked(window->handle(), IDC_DRIVERS), BST_CHECKED);
    EXPECT_TRUE(enabled(IDC_DRIVER_KIND));

    SendMessageA(window->handle(), WM_COMMAND, ID_RESET_VIEW, 0);
    pump();
    std::vector<int> natural(listColumnCount);
    std::iota(natural.begin(), natural.end(), 0);
    EXPECT_EQ(columnOrder(), natural);
    EXPECT_FALSE(window->colouring().sortChosen);
    EXPECT_TRUE(sortedBy(0, true));
    EXPECT_EQ(window->filterSettings().typeMask, 0x30u);
    EXPECT_EQ(window->filterSettings().activeMask, 3u);
    EXPECT_TRUE(window->filterSettings().showMicrosoft);
    EXPECT_FALSE(enabled(IDC_DRIVER_KIND));
    EXPECT_GE(columnWidth(1), widestText(1)) << "fitted to the display names again";
    closeWindow();
    EXPECT_EQ(settingsText().find("<sort"), std::string::npos) << "no sort chosen any more";
}

// The form today's file has: the columns are fitted to the first list and
// the filter is the default one; a view that names a column the list does
// not have harms nothing.
TEST_F(MainWindowSettingsTest, AFileWithoutTheViewFitsTheColumnsAndADamagedViewIsIgnored) {
    const std::string older = "<?xml version=\"1.0\" encoding=\"utf-8\"?><kelvane version=\"4.6\">"
                              "<ui/><flags color-bkgnd=\"true\"/><last-entries/>";
    writeSettings(older + "</kelvane>\n");
    open(/*persist=*/true);
    RECT list{};
    GetClientRect(listHandle(), &list);
    for (int column : {0, 1, 2, 3, 6}) {
        EXPECT_GE(columnWidth(column), std::min<int>(widestText(column), list.right / 2))
            << "column " << column;
        EXPECT_LE(columnWidth(column), list.right / 2) << "column " << column;
    }
    EXPECT_GT(columnWidth(0), 20 + widestText(0) / 2) << "the internal name is readable";
    // The image files' details come a moment later; their columns widen for them.
    ASSERT_TRUE(pumpUntil([&] { return widestText(listManufacturerColumn) > 0; }));
    EXPECT_GE(columnWidth(listManufacturerColumn),
              std::min<int>(widestText(listManufacturerColumn), list.right / 2));
    EXPECT_EQ(window->filterSettings().typeMask, 0x30u);
    EXPECT_EQ(window->filterSettings().activeMask, 3u);
    EXPECT_FALSE(window->colouring().sortChosen);
    closeWindow();
    const std::string written = settingsText();
    EXPECT_LT(written.find("</last-entries>"), written.find("<view>"))
        << "the view follows the older elements";

    writeSettings(older + "<view><columns dpi=\"96\" widths=\"50,x,70\" "
                          "order=\"99,2,-1,2,1\"/><sort column=\"99\"/>"
                          "<filter drivers=\"maybe\" driver-kind=\"7\"/></view></kelvane>\n");
    open(true);
    EXPECT_GT(window->list().count(), 0);
    std::vector<int> expected(listColumnCount);
    std::iota(expected.begin(), expected.end(), 0);
    std::swap(expected[0], expected[2]);
    EXPECT_EQ(columnOrder(), expected);
    EXPECT_EQ(columnWidth(0), 50);
    EXPECT_EQ(columnWidth(2), 70);
    EXPECT_GE(columnWidth(1), widestText(1)) << "an unreadable width is fitted";
    EXPECT_FALSE(window->colouring().sortChosen);
    EXPECT_EQ(window->filterSettings().typeMask, 0x30u);
}

// Moved to a screen of another DPI, the window takes the size the system
// suggests, and its controls, fonts, columns and smallest size grow with it.
TEST_F(MainWindowTest, ADpiChangeScalesControlsFontsAndColumnsWithTheWindow) {
    open();
    HWND main = window->handle();
    // The list's margins in the window, its font, a column, the smallest size.
    auto measures = [&] {
        RECT list{}, client{};
        GetWindowRect(listHandle(), &list);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&list), 2);
        GetClientRect(main, &client);
        LOGFONTA face{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(listHandle(), WM_GETFONT, 0, 0)),
                   sizeof face, &face);
        MINMAXINFO limits{};
        SendMessageA(main, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
        return std::vector<LONG>{list.left,
                                 list.top,
                                 client.right - list.right,
                                 client.bottom - list.bottom,
                                 std::abs(face.lfHeight),
                                 columnWidth(1),
                                 limits.ptMinTrackSize.x,
                                 limits.ptMinTrackSize.y};
    };
    const std::vector<LONG> before = measures();
    RECT outer{};
    GetWindowRect(main, &outer);
    RECT suggested{outer.left, outer.top, outer.left + (outer.right - outer.left) * 3 / 2,
                   outer.top + (outer.bottom - outer.top) * 3 / 2};
    SendMessageA(main, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    pump();
    RECT now{};
    GetWindowRect(main, &now);
    EXPECT_TRUE(EqualRect(&now, &suggested)) << now.right - now.left << "x" << now.bottom - now.top;
    const std::vector<LONG> after = measures();
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_NEAR(after[i], before[i] * 3 / 2, 2) << "measure " << i;
    }
}
