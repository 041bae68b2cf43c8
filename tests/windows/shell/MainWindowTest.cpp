// The real main window, opened in this process on Wine's service manager and
// driven with the messages a user's actions send. Which buttons, colours,
// marks, selections and views a state gives is the native tests' business
// (ActionAvailability, RowColors, RefreshCycle, ListSelection, ViewState);
// here the window's controls carry them out.
#include "shell/win/MainWindow.h"
#include "tests/windows/support/DialogScript.h"
#include "tests/windows/support/MainWindowThread.h"
#include "tests/windows/support/SettingsFileAside.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TestServices.h"

#include "framework/ErrorContext.h"
#include "framework/Exception.h"
#include "framework/FailureReport.h"
#include "framework/win/DispatchingWaits.h"
#include "framework/win/MessageLoop.h"
#include "framework/win/ModuleResources.h"
#include "inventory/ListSortOrder.h"
#include "resources/ResourceIds.h"
#include "shell/win/StartTargets.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>
#include <string>

using namespace kelvane;
using namespace kelvane::test;

namespace {

// Notes the first popup menu that opens and closes it.
struct MenuWatch {
    static inline HMENU opened = nullptr;
    static void CALLBACK check(HWND, UINT, UINT_PTR, DWORD) {
        HWND window = FindWindowA("#32768", nullptr);
        if (!opened && window && IsWindowVisible(window)) {
            opened = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
            EndMenu();
        }
    }
    UINT_PTR timer = SetTimer(nullptr, 0, 50, check);
    MenuWatch() { opened = nullptr; }
    ~MenuWatch() { KillTimer(nullptr, timer); }
};

class MainWindowTest : public ServiceFixture {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(prepareMainWindowThread()); }
    static void TearDownTestSuite() { closeServiceDatabaseKey(); }

    void open(bool persist = false, ManagerOpener openManager = nullptr) {
        config.noPersist = !persist;
        config.noUpdate = true;
        window = std::make_unique<MainWindow>(config, std::move(openManager));
        window->create(nullptr);
        pump();
    }
    void TearDown() override { closeMainWindow(window); }

    HWND control(int id) const { return window->item(id); }
    HWND listHandle() const { return control(IDC_SERVICE_LIST); }
    LRESULT toList(UINT message, WPARAM w = 0, LPARAM l = 0) {
        return SendMessageA(listHandle(), message, w, l);
    }
    int indexOfService(const std::string& name) {
        for (int i = 0; i < window->list().count(); ++i) {
            if (window->list().textAt(i, 0) == name) {
                return i;
            }
        }
        return -1;
    }
    void click(int id) { SendMessageA(control(id), BM_CLICK, 0, 0); }
    void command(int id) { SendMessageA(window->handle(), WM_COMMAND, id, 0); }
    void typeSearch(const std::string& text) {
        COMBOBOXINFO info{sizeof info};
        ASSERT_TRUE(GetComboBoxInfo(control(IDC_FILTER), &info));
        SetWindowTextA(info.hwndItem, "");
        for (char c : text) {
            SendMessageA(info.hwndItem, WM_CHAR, static_cast<unsigned char>(c), 1);
        }
        pump();
    }
    void showOnlyOurServices() {
        typeSearch("kvtest-" + std::to_string(GetCurrentProcessId()) + "-");
    }
    // As the list reports a click on a column's header.
    void clickHeader(int column) {
        NMLISTVIEW click{
            {listHandle(), IDC_SERVICE_LIST, static_cast<UINT>(LVN_COLUMNCLICK)}, -1, column};
        SendMessageA(window->handle(), WM_NOTIFY, IDC_SERVICE_LIST,
                     reinterpret_cast<LPARAM>(&click));
        pump();
    }
    // Index -1 stands for every item.
    void select(int index, UINT state = LVIS_SELECTED | LVIS_FOCUSED) {
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = state;
        toList(LVM_SETSELECTIONMARK, 0, index);
        toList(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        pump();
    }
    std::vector<std::string> itemsWith(UINT flag) {
        std::vector<std::string> names;
        for (int i = -1; (i = static_cast<int>(toList(LVM_GETNEXTITEM, i, flag))) >= 0;) {
            names.push_back(window->list().textAt(i, 0));
        }
        return names;
    }
    std::vector<int> columnOrder() {
        std::vector<int> order(listColumnCount);
        toList(LVM_GETCOLUMNORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data()));
        return order;
    }
    int columnWidth(int column) { return static_cast<int>(toList(LVM_GETCOLUMNWIDTH, column)); }
    // The widest text of a column as the list draws it.
    int widestText(int column) {
        int widest = 0;
        for (int i = 0; i < window->list().count(); ++i) {
            const std::string text = window->list().textAt(i, column);
            widest =
                std::max(widest, static_cast<int>(toList(LVM_GETSTRINGWIDTHA, 0,
                                                         reinterpret_cast<LPARAM>(text.c_str()))));
        }
        return widest;
    }
    // What the worker threads ask for after a change: a refresh (registry
    // watcher, status polls), then the rebuild that ends each icon pass.
    void refreshAsTheWorkersDo() {
        SendMessageA(window->handle(), WM_APP, 0, 0);
        SendMessageA(window->handle(), WM_APP + 1, 0, 0);
        pump();
    }
    static DWORD stateOf(const std::string& name) { return queryStatus(name).dwCurrentState; }

    AppConfig config;
    std::unique_ptr<MainWindow> window;
};

} // namespace

// The registry watcher brings a service created while the window is open
// into the list without F5; the window draws it, and the buttons and the
// context menu act on it.
TEST_F(MainWindowTest, ANewServiceIsListedWithoutF5DrawnYellowAndOfferedToTheCommands) {
    open();
    // The first paint comes while the window is still being built; an
    // enabled button it leaves blank stays blank.
    for (int id : {IDC_REFRESH, IDC_LOGIN_AS}) {
        RECT box{};
        GetClientRect(control(id), &box);
        HDC dc = GetDC(control(id));
        int navy = 0;
        for (LONG at = 0; at < box.right * box.bottom; ++at) {
            navy += GetPixel(dc, at % box.right, at / box.right) == RGB(0, 0, 128);
        }
        ReleaseDC(control(id), dc);
        EXPECT_GT(navy, 0) << "button " << id << " shows no text";
    }
    // One creation may signal the watcher twice: the second refresh then ends
    // the mark the first one set. A creation whose mark is gone is made anew.
    const TestServiceSetup missing{"", "C:\\nowhere\\kelvane-missing.exe"};
    std::string fresh;
    for (int attempt = 0; attempt < 3 && fresh.empty(); ++attempt) {
        const std::string name = services.create(missing);
        ASSERT_TRUE(pumpUntil([&] { return indexOfService(name) >= 0; })) << "no F5 needed";
        pumpUntil([] { return false; }, 500);
        const int index = indexOfService(name);
        if (index >= 0 && window->list().textAt(index, listChangesColumn) == "new") {
            fresh = name;
        }
    }
    ASSERT_FALSE(fresh.empty()) << "a created service is listed and marked new";
    auto background = [&] { // of the new service's row, as the window draws it
        NMLVCUSTOMDRAW draw{};
        const int index = indexOfService(fresh);
        draw.nmcd.hdr = {listHandle(), IDC_SERVICE_LIST, static_cast<UINT>(NM_CUSTOMDRAW)};
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.nmcd.hdc = GetDC(listHandle());
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(index);
        draw.nmcd.lItemlParam = window->list().numberAt(index);
        SendMessageA(window->handle(), WM_NOTIFY, IDC_SERVICE_LIST,
                     reinterpret_cast<LPARAM>(&draw));
        ReleaseDC(listHandle(), draw.nmcd.hdc);
        return draw.clrTextBk;
    };
    EXPECT_EQ(background(), RGB(255, 255, 0));

    typeSearch(fresh);
    EXPECT_FALSE(IsWindowEnabled(control(IDC_START)));
    select(0);
    EXPECT_TRUE(IsWindowEnabled(control(IDC_START)));
    EXPECT_EQ(window->statusLine(), fresh) << "the display name is shown";
    // A right click on the display name's cell.
    RECT cell{LVIR_LABEL, 1};
    toList(LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&cell));
    POINT at{cell.left + 5, (cell.top + cell.bottom) / 2}, screen = at;
    ClientToScreen(listHandle(), &screen);
    SetCursorPos(screen.x, screen.y);
    {
        MenuWatch watch;
        PostMessageA(listHandle(), WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        toList(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
        pump();
        EXPECT_NE(MenuWatch::opened, nullptr);
    }
    command(ID_COPY_TO_CLIPBOARD);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE copied = GetClipboardData(CF_TEXT);
    EXPECT_EQ(std::string(copied ? static_cast<const char*>(GlobalLock(copied)) : ""), fresh);
    GlobalUnlock(copied);
    CloseClipboard();
    command(ID_FILE_PROPERTIES);
    EXPECT_EQ(window->statusLine(), "There is no valid binary path.");

    window->refresh(); // it ends the marks as it starts, before any rebuild
    EXPECT_NE(background(), RGB(255, 255, 0));
}

TEST_F(MainWindowTest, ARefreshTouchesNoUnchangedItemAndKeepsTheStretchInView) {
    open();
    click(IDC_DRIVERS);
    const int count = window->list().count();
    ASSERT_GT(count, toList(LVM_GETCOUNTPERPAGE)) << "the list must be long enough to scroll";
    toList(LVM_ENSUREVISIBLE, count - 1, FALSE);
    const std::string top = window->list().textAt(static_cast<int>(toList(LVM_GETTOPINDEX)), 0);
    const int updates = window->list().updates();
    window->refresh();
    EXPECT_EQ(window->list().updates(), updates);

    refreshAsTheWorkersDo();
    EXPECT_EQ(window->list().textAt(static_cast<int>(toList(LVM_GETTOPINDEX)), 0), top);
    EXPECT_TRUE(itemsWith(LVNI_SELECTED).empty()) << "nothing selected stays nothing";
}

TEST_F(MainWindowTest, StartButtonStartsTheSelectionAndReportsEachFailure) {
    const std::string first = services.create({"--start-ms=300"});
    const std::string broken = services.create({"", "C:\\kelvane\\no-such-service.exe"});
    const std::string third = services.create();
    open();
    showOnlyOurServices();
    select(-1, LVIS_SELECTED);
    click(IDC_START);
    SendMessageA(window->handle(), WM_APP + 1, 0, 0); // the icon pass's rebuild
    pump();
    const std::string shown = window->statusLine();
    EXPECT_EQ(shown.rfind("2 services have been started.\r\n" + broken + ": ", 0), 0u)
        << "the summary and the failure stay readable together: " << shown;
    EXPECT_EQ(stateOf(first), static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_EQ(stateOf(third), static_cast<DWORD>(SERVICE_RUNNING));
}

TEST_F(MainWindowTest, AltAndAMenusLetterOpensThatMenuAndControlsNoService) {
    const std::string name = services.create({"--accept=stop,pause,paramchange"});
    ASSERT_TRUE(startService(name) && waitForState(name, SERVICE_RUNNING));
    // The German titles (the template test checks every language's letters).
    Plinth::setResourceLanguage(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
    open();
    Plinth::setResourceLanguage(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK));
    typeSearch(name);
    select(0);
    HMENU bar = GetMenu(window->handle());
    for (int i = 0; i < GetMenuItemCount(bar); ++i) {
        char title[64] = {};
        GetMenuStringA(bar, i, title, sizeof title, MF_BYPOSITION);
        const char* mark = std::strchr(title, '&');
        ASSERT_NE(mark, nullptr) << title;
        MenuWatch watch;
        // Alt held: the context bit of the key's message. The program's
        // own loop takes it through its accelerators and dialog keys.
        PostMessageA(listHandle(), WM_SYSKEYDOWN, std::toupper(static_cast<unsigned char>(mark[1])),
                     0x20000001);
        for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) {
            Plinth::MessageLoop::current().dispatch(message);
        }
        EXPECT_EQ(MenuWatch::opened, GetSubMenu(bar, i)) << title;
        EXPECT_EQ(stateOf(name), static_cast<DWORD>(SERVICE_RUNNING)) << title;
    }
}

TEST_F(MainWindowTest, TheSelectionFollowsItsServicesWhenARefreshReordersTheList) {
    const std::string first = services.create({"--accept=stop"});
    const std::string second = services.create({"--accept=stop"});
    open();
    showOnlyOurServices();
    // A rebuild adds the items in the order the window first saw the
    // services, and equal items keep that order when sorted: "mover", seen
    // first, lands before "chosen" once both run.
    const bool firstSeenFirst = window->list().numberAt(indexOfService(first)) <
                                window->list().numberAt(indexOfService(second));
    const std::string mover = firstSeenFirst ? first : second;
    const std::string chosen = firstSeenFirst ? second : first;
    ASSERT_TRUE(startService(chosen) && waitForState(chosen, SERVICE_RUNNING));
    refreshAsTheWorkersDo();
    clickHeader(4);
    clickHeader(4); // by Status, descending: the running services first
    select(indexOfService(chosen));
    const int before = indexOfService(chosen);

    ASSERT_TRUE(startService(mover) && waitForState(mover, SERVICE_RUNNING)); // another program
    refreshAsTheWorkersDo();
    ASSERT_NE(indexOfService(chosen), before) << "the order must have changed";
    EXPECT_EQ(itemsWith(LVNI_SELECTED), std::vector<std::string>{chosen});
    EXPECT_EQ(itemsWith(LVNI_FOCUSED), std::vector<std::string>{chosen});
    click(IDC_STOP);
    EXPECT_EQ(stateOf(chosen), static_cast<DWORD>(SERVICE_STOPPED));
    EXPECT_EQ(stateOf(mover), static_cast<DWORD>(SERVICE_RUNNING));
}

// Wine's manager answers for any computer name, so the list shows this
// computer's services, process ids included, under another computer's name;
// a real one does not answer for a computer that cannot be reached.
TEST_F(MainWindowTest, AnotherComputersListKeepsTheReadersErrorRefusesKillAndKeepsItsHost) {
    const std::string name = services.create({"--accept=stop"});
    ASSERT_TRUE(startService(name) && waitForState(name, SERVICE_RUNNING));
    Plinth::UniqueHandleObject process(
        OpenProcess(SYNCHRONIZE, FALSE, queryStatus(name).dwProcessId));
    open(false, [](ScmConnection& connection, const std::string& host, DWORD rights) {
        if (host == "kvtest-unreachable") {
            Plinth::ErrorContext context("opening service manager", host);
            throw Plinth::LWE(RPC_S_SERVER_UNAVAILABLE);
        }
        connection.openManager(host, rights);
    });
    auto readHost = [&](const char* host) {
        SetWindowTextA(control(IDC_HOST), host);
        click(IDC_REFRESH);
        pump();
    };
    readHost("kvtest-unreachable");
    const std::string shown = window->statusLine();
    EXPECT_NE(shown.find(Plinth::LWE(RPC_S_SERVER_UNAVAILABLE).getMessage()), std::string::npos)
        << shown;
    SendMessageA(window->handle(), WM_APP + 1, 0, 0); // the icon pass's rebuild
    pumpUntil([] { return false; }, 1000);
    EXPECT_EQ(window->statusLine(), shown) << "the reader's error stays after every message";

    readHost("kvtest-elsewhere");
    const std::string listed = window->commandHost();
    typeSearch(name);
    ASSERT_EQ(window->list().count(), 1);
    select(0);
    AnsweredBoxes boxes(IDYES);
    command(ID_KILL_PROCESS);
    EXPECT_EQ(WaitForSingleObject(process.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(window->statusLine(), Plinth::loadString(IDS_KILL_ONLY_LOCAL));

    DialogScript script;
    script.expect("Kelvane - Connect as", [](HWND dialog) {
        setDialogText(dialog, IDC_CONNECT_HOST, "kvtest-no-such-computer");
        setDialogText(dialog, IDC_CONNECT_USER, "someone");
        kelvane::test::click(dialog, IDOK);
    });
    click(IDC_LOGIN_AS);
    ASSERT_TRUE(script.finished());
    ASSERT_EQ(boxes.boxes.size(), 1u) << "the failed Connect as is reported";
    EXPECT_NE(boxes.boxes[0].text.find("connecting to remote computer"), std::string::npos);
    EXPECT_EQ(window->commandHost(), listed);
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

// A window whose handler fails on WM_APP, as any window of the program can.
LRESULT CALLBACK failingProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_APP) {
        throw Plinth::UserException("handler failed");
    }
    return DefWindowProcA(window, message, w, l);
}

} // namespace

TEST_F(MainWindowTest, AReportDuringAHandlerBelongsToTheMainWindow) {
    open();
    WNDCLASSA type{0, &failingProcedure, 0, 0, GetModuleHandleA(nullptr)};
    type.lpszClassName = "KelvaneFailingWindow";
    RegisterClassA(&type);
    Plinth::UniqueWindow failing(CreateWindowExA(0, type.lpszClassName, "", 0, 0, 0, 10, 10,
                                                 nullptr, nullptr, type.hInstance, nullptr));
    AnsweredBoxes boxes(IDOK);
    PostMessageA(failing.get(), WM_APP, 0, 0);
    Plinth::sleepDispatching(300);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].owner, window->handle()) << "owned by the main window";
    closeMainWindow(window);

    // A window whose controls cannot be made reports it and ends.
    boxes.boxes.clear();
    HHOOK hook = SetWindowsHookExA(WH_CBT, refuseTooltips, nullptr, GetCurrentThreadId());
    open();
    UnhookWindowsHookEx(hook);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Exception");
    EXPECT_TRUE(window->ended()) << "it does not run without its reader";
    SendMessageA(window->handle(), WM_APP, 0, 0); // a late refresh finds nothing to run
}

// The close box while a read hangs in the manager: the window ends, and the
// program's end has begun (no report box) before its threads are joined, so
// the reader, which here hangs until the end begins, lets go in time.
TEST_F(MainWindowTest, ClosingWhileAReadHangsEndsTheWindowAfterTheEndHasBegun) {
    config.noPersist = true;
    config.noUpdate = true;
    std::atomic<bool> endSeenByTheReader{false};
    const DWORD windowThread = GetCurrentThreadId();
    auto hangingManager = [&](ScmConnection&, const std::string&, DWORD) {
        HWND shown = nullptr; // the close box, pressed while the read hangs here
        waitUntil([&] { return (shown = openDialogOf(windowThread)) != nullptr; }, 20000);
        PostMessageA(shown, WM_CLOSE, 0, 0);
        waitUntil([] { return Plinth::shuttingDown(); }, 20000);
        endSeenByTheReader = Plinth::shuttingDown();
        throw Plinth::SDKException(RPC_S_SERVER_UNAVAILABLE);
    };
    runMainWindow(config, /*endsProgram=*/true, hangingManager);
    const bool ending = Plinth::shuttingDown();
    Plinth::leaveShutdown();
    EXPECT_TRUE(ending);
    EXPECT_TRUE(endSeenByTheReader) << "the counter rose before the reader was waited for";
}

// Moved to a screen of another DPI, the window takes the size the system
// suggests, and its controls, fonts, columns and smallest size grow with it.
TEST_F(MainWindowTest, ADpiChangeScalesControlsFontsAndColumnsWithTheWindow) {
    open();
    HWND main = window->handle();
    auto measures = [&] {
        RECT list{}, client{};
        GetWindowRect(listHandle(), &list);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&list), 2);
        GetClientRect(main, &client);
        LOGFONTA face{};
        GetObjectA(reinterpret_cast<HFONT>(toList(WM_GETFONT)), sizeof face, &face);
        MINMAXINFO limits{};
        SendMessageA(main, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
        return std::vector<LONG>{list.top, client.bottom - list.bottom, std::abs(face.lfHeight),
                                 columnWidth(1), limits.ptMinTrackSize.y};
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

class MainWindowSettingsTest : public MainWindowTest {
protected:
    SettingsFileAside settings;
};

TEST_F(MainWindowSettingsTest, AReadThatFailsKeepsTheStoredBaseline) {
    const std::string ours = services.create();
    open(/*persist=*/true);
    closeMainWindow(window);

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
    ASSERT_GE(indexOfService(ours), 0);
    EXPECT_EQ(window->list().textAt(indexOfService(ours), listChangesColumn), "") << "unchanged";
    refuse = true;
    click(IDC_REFRESH);
    closeMainWindow(window);
    EXPECT_NE(fileBytes(settings.path()).find("serviceName=\"" + ours + "\""), std::string::npos)
        << "the file still holds the rows";
}

// A settings file of an older version, without the view, fits the columns
// to the first list; its host name outside ASCII passes Wine's code page
// conversions both ways. A work area that does not start at the screen's corner
// (a taskbar at the top or left) separates the placement's coordinates from
// the screen's.
TEST_F(MainWindowSettingsTest, TheWindowAndItsArrangedListComeBackAndResetViewUndoesTheList) {
    CreateDirectoryA(settings.path().substr(0, settings.path().rfind('\\')).c_str(), nullptr);
    writeBytes(settings.path(),
               "<?xml version=\"1.0\" encoding=\"utf-8\"?><kelvane version=\"4.6\"><ui/>"
               "<hostnames><hostname>\xE2\x82\xACuro</hostname></hostnames>"
               "<flags color-bkgnd=\"true\"/><last-entries/></kelvane>\n");
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
    RECT list{};
    GetClientRect(listHandle(), &list);
    // The image files' details come a moment later; their columns widen for them.
    ASSERT_TRUE(pumpUntil([&] { return widestText(listManufacturerColumn) > 0; }));
    for (int column : {0, 1, listManufacturerColumn}) {
        EXPECT_GE(columnWidth(column), std::min<int>(widestText(column), list.right / 2)) << column;
        EXPECT_LE(columnWidth(column), list.right / 2) << column;
    }

    MoveWindow(window->handle(), 200, 150, 760, 560, TRUE);
    WINDOWPLACEMENT closed{sizeof closed};
    GetWindowPlacement(window->handle(), &closed);
    toList(LVM_SETCOLUMNWIDTH, 1, 222);
    std::vector<int> order = columnOrder();
    std::swap(order[0], order[3]);
    toList(LVM_SETCOLUMNORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data()));
    clickHeader(3);
    clickHeader(3);
    click(IDC_DRIVERS);
    const FilterSettings chosen = window->filterSettings();
    closeMainWindow(window);

    open(true);
    WINDOWPLACEMENT reopened{sizeof reopened};
    GetWindowPlacement(window->handle(), &reopened);
    EXPECT_TRUE(EqualRect(&reopened.rcNormalPosition, &closed.rcNormalPosition)) << "placement";
    EXPECT_EQ(columnWidth(1), 222);
    EXPECT_EQ(columnOrder(), order);
    const int last = window->list().count() - 1;
    EXPECT_GE(compareListTexts(3, window->list().textAt(0, 3), window->list().textAt(last, 3)), 0)
        << "sorted as before, descending";
    EXPECT_EQ(window->filterSettings().typeMask, chosen.typeMask);
    EXPECT_GE(SendMessageA(control(IDC_HOST), CB_FINDSTRINGEXACT, WPARAM(-1),
                           reinterpret_cast<LPARAM>("\x80uro")),
              0)
        << "the euro sign of code page 1252";

    command(ID_RESET_VIEW);
    pump();
    EXPECT_NE(columnOrder(), order);
    EXPECT_FALSE(window->colouring().sortChosen);
    EXPECT_EQ(window->filterSettings().typeMask, 0x30u);
    EXPECT_GE(columnWidth(1), widestText(1)) << "fitted to the display names again";
}
