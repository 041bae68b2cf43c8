// The real main window, opened in this process on Wine's service manager and
// driven with the messages a user's actions send.
#include "shell/win/MainWindow.h"
#include "tests/windows/support/SettingsFileAside.h"
#include "tests/windows/support/TestPaths.h"
#include "tests/windows/support/TestServices.h"
#include "tests/windows/support/TrayInstances.h"

#include "framework/FailureReport.h"
#include "framework/win/DispatchingWaits.h"
#include "framework/win/MessageBoxes.h"
#include "framework/win/ModuleResources.h"
#include "inventory/ListSortOrder.h"
#include "resources/ResourceIds.h"
#include "shell/win/ServiceDatabaseKey.h"
#include "shell/win/StartTargets.h"

#include <commctrl.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <string>

using namespace kelvane;
using namespace kelvane::test;

namespace {

void pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Answers the first popup menu that opens with Escape and notes that one did.
struct MenuWatch {
    static inline bool shown = false;
    static void CALLBACK check(HWND, UINT, UINT_PTR, DWORD) {
        if (HWND menu = FindWindowA("#32768", nullptr); menu && IsWindowVisible(menu)) {
            shown = true;
            EndMenu();
        }
    }
    UINT_PTR timer;
    MenuWatch() : timer(SetTimer(nullptr, 0, 100, check)) { shown = false; }
    ~MenuWatch() { KillTimer(nullptr, timer); }
};

class MainWindowTest : public ServiceFixture {
protected:
    static void SetUpTestSuite() {
        Plinth::setResourceModule(GetModuleHandleA(nullptr));
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_TRUE(openServiceDatabaseKey());
    }
    static void TearDownTestSuite() { closeServiceDatabaseKey(); }

    void open(bool persist = false, ManagerOpener openManager = nullptr) {
        config.noPersist = !persist;
        config.noUpdate = true;
        window = std::make_unique<MainWindow>(config, std::move(openManager));
        window->create(nullptr);
        pump();
    }
    void TearDown() override {
        if (window && window->handle()) {
            SendMessageA(window->handle(), WM_COMMAND, IDCANCEL, 0);
        }
        window.reset();
        pump();
    }

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
    void select(int index) {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(listHandle(), LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&state));
        SendMessageA(listHandle(), LVM_SETSELECTIONMARK, 0, index);
        pump();
    }
    bool enabled(int id) const { return IsWindowEnabled(control(id)) != FALSE; }

    AppConfig config;
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

void putOnClipboard(const std::string& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
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

TEST_F(MainWindowTest, TheListFillsWithTheManagersServicesAndSortsByHeaderClicks) {
    std::string ours = services.create();
    open();
    ServiceListView& list = window->list();
    EXPECT_GT(list.count(), 5);
    EXPECT_GE(indexOfService(ours), 0);
    EXPECT_EQ(window->statusLine(), "");

    auto sortedBy = [&](int column, bool ascending) {
        for (int i = 1; i < list.count(); ++i) {
            int order =
                compareListTexts(column, list.textAt(i - 1, column), list.textAt(i, column));
            if (ascending ? order > 0 : order < 0) {
                return false;
            }
        }
        return true;
    };
    EXPECT_TRUE(sortedBy(0, true)) << "by internal name before any choice";
    clickHeader(1);
    EXPECT_TRUE(window->colouring().sortChosen);
    EXPECT_TRUE(sortedBy(1, true));
    clickHeader(1);
    EXPECT_FALSE(list.ascending());
    EXPECT_TRUE(sortedBy(1, false));
    clickHeader(5);
    EXPECT_TRUE(list.ascending()) << "another column starts ascending";
    EXPECT_TRUE(sortedBy(5, true));
}

TEST_F(MainWindowTest, FilterControlsSetTheMasksAndEmptyTheList) {
    open();
    EXPECT_EQ(window->filterSettings().typeMask, 0x30u);
    click(IDC_SERVICES);
    EXPECT_EQ(window->filterSettings().typeMask, 0u);
    EXPECT_FALSE(enabled(IDC_SERVICE_KIND));
    EXPECT_EQ(window->list().count(), 0) << "both type boxes cleared";

    click(IDC_DRIVERS);
    EXPECT_TRUE(enabled(IDC_DRIVER_KIND));
    EXPECT_EQ(window->filterSettings().typeMask, 0x0Bu) << "all drivers, never adapters";
    chooseKind(IDC_DRIVER_KIND, 0);
    EXPECT_EQ(window->filterSettings().typeMask, 0x01u);
    chooseKind(IDC_DRIVER_KIND, 1);
    EXPECT_EQ(window->filterSettings().typeMask, 0x02u);
    click(IDC_SERVICES);
    chooseKind(IDC_SERVICE_KIND, 0);
    EXPECT_EQ(window->filterSettings().typeMask, 0x12u);

    click(IDC_ACTIVE);
    click(IDC_INACTIVE);
    EXPECT_EQ(window->filterSettings().activeMask, 0u);
    EXPECT_EQ(window->list().count(), 0);
    click(IDC_MICROSOFT);
    EXPECT_FALSE(window->filterSettings().showMicrosoft);
}

TEST_F(MainWindowTest, SearchIgnoresCaseAndQuestionMarkTakesExactlyOneCharacter) {
    std::string ours = services.create();
    open();
    std::string upper = ours;
    for (char& c : upper) {
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    }
    typeSearch(upper);
    ASSERT_EQ(window->list().count(), 1);
    EXPECT_EQ(window->list().textAt(0, 0), ours);

    // "kvtest-<pid>-<n>": one character between "kvtest" and the pid.
    std::string pid = ours.substr(7, ours.find('-', 7) - 7);
    typeSearch("KVTEST?" + pid + "-");
    EXPECT_GE(indexOfService(ours), 0);
    typeSearch("kvtest??" + pid + "-");
    EXPECT_LT(indexOfService(ours), 0);
    typeSearch("kvtest" + pid);
    EXPECT_LT(indexOfService(ours), 0) << "\"?\" is not optional";
}

TEST_F(MainWindowTest, ANewServiceIsDrawnYellowWithBoldNames) {
    open();
    std::string fresh = services.create();
    SendMessageA(window->handle(), WM_APP, 0, 0);
    int index = indexOfService(fresh);
    ASSERT_GE(index, 0);
    EXPECT_EQ(window->list().textAt(index, listChangesColumn), Plinth::loadString(180));

    HDC dc = GetDC(listHandle());
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr = {listHandle(), IDC_SERVICE_LIST, static_cast<UINT>(NM_CUSTOMDRAW)};
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.hdc = dc;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(index);
    draw.nmcd.lItemlParam = window->list().numberAt(index);
    LRESULT answer = SendMessageA(window->handle(), WM_NOTIFY, IDC_SERVICE_LIST,
                                  reinterpret_cast<LPARAM>(&draw));
    EXPECT_EQ(answer, CDRF_NEWFONT) << "no sort column, no search: one style for the row";
    EXPECT_EQ(draw.clrTextBk, RGB(255, 255, 0));
    LOGFONTA font{};
    GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
    EXPECT_EQ(font.lfWeight, FW_BOLD);

    clickHeader(3);
    index = indexOfService(fresh);
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(index);
    draw.nmcd.lItemlParam = window->list().numberAt(index);
    answer = SendMessageA(window->handle(), WM_NOTIFY, IDC_SERVICE_LIST,
                          reinterpret_cast<LPARAM>(&draw));
    EXPECT_EQ(answer, CDRF_NOTIFYSUBITEMDRAW) << "a chosen sort column draws cell by cell";
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
    draw.iSubItem = 6;
    SendMessageA(window->handle(), WM_NOTIFY, IDC_SERVICE_LIST, reinterpret_cast<LPARAM>(&draw));
    EXPECT_EQ(draw.clrTextBk, RGB(255, 255, 0));
    GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
    EXPECT_NE(font.lfWeight, FW_BOLD) << "only the name columns of a new service are bold";
    ReleaseDC(listHandle(), dc);
}

TEST_F(MainWindowTest, ActionButtonsFollowTheSelection) {
    TestServiceSetup disabled;
    disabled.startType = SERVICE_DISABLED;
    std::string off = services.create(disabled);
    std::string manual = services.create();
    open();
    for (int id : {IDC_START, IDC_STOP, IDC_PAUSE, IDC_CONTINUE, IDC_RESTART, IDC_REMOVE}) {
        EXPECT_FALSE(enabled(id)) << "nothing selected: " << id;
    }
    select(indexOfService(off));
    EXPECT_FALSE(enabled(IDC_START)) << "a disabled service never starts";
    EXPECT_TRUE(enabled(IDC_REMOVE));
    EXPECT_EQ(window->statusLine(), off) << "the display name is shown";

    LVITEMA none{};
    none.stateMask = LVIS_SELECTED;
    SendMessageA(listHandle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&none));
    select(indexOfService(manual));
    EXPECT_TRUE(enabled(IDC_START));
    EXPECT_FALSE(enabled(IDC_STOP));
}

TEST_F(MainWindowTest, ContextMenuCopyAndFileProperties) {
    TestServiceSetup missing;
    missing.binaryPath = "C:\\nowhere\\kelvane-missing.exe";
    std::string ours = services.create(missing);
    open();
    typeSearch(ours);
    ASSERT_EQ(window->list().count(), 1);

    RECT client{};
    GetClientRect(listHandle(), &client);
    EXPECT_FALSE(rightClick({client.right / 2, client.bottom - 30})) << "empty space: no menu";

    putOnClipboard("left alone");
    ASSERT_EQ(window->list().textAt(0, 5), "") << "a stopped service shows no PID";
    EXPECT_TRUE(rightClick(cellPoint(0, 5)));
    SendMessageA(window->handle(), WM_COMMAND, ID_COPY_TO_CLIPBOARD, 0);
    EXPECT_EQ(clipboardText(), "left alone") << "an empty cell copies nothing";

    EXPECT_TRUE(rightClick(cellPoint(0, 1)));
    SendMessageA(window->handle(), WM_COMMAND, ID_COPY_TO_CLIPBOARD, 0);
    EXPECT_EQ(clipboardText(), ours);

    ASSERT_EQ(window->list().textAt(0, 8), "") << "the image file does not exist";
    SendMessageA(window->handle(), WM_COMMAND, ID_FILE_PROPERTIES, 0);
    EXPECT_EQ(window->statusLine(), "There is no valid binary path.");
}

TEST_F(MainWindowTest, StartsTallerThanItsTemplateAndCannotShrinkBelowIt) {
    open();
    HWND plain = CreateDialogIndirectParamA(
        GetModuleHandleA(nullptr),
        static_cast<LPCDLGTEMPLATEA>(
            Plinth::loadLocalisedResource(RT_DIALOG, MAKEINTRESOURCEA(IDD_MAIN))),
        nullptr, [](HWND, UINT m, WPARAM, LPARAM) -> INT_PTR { return m == WM_INITDIALOG; }, 0);
    ASSERT_NE(plain, nullptr);
    RECT templateClient{}, client{}, outer{};
    GetClientRect(plain, &templateClient);
    DestroyWindow(plain);
    GetClientRect(window->handle(), &client);
    GetWindowRect(window->handle(), &outer);
    EXPECT_EQ(client.bottom - templateClient.bottom, 200);
    EXPECT_EQ(client.right, templateClient.right);

    MINMAXINFO limits{};
    SendMessageA(window->handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.y, outer.bottom - outer.top - 200);
    EXPECT_EQ(limits.ptMinTrackSize.x, outer.right - outer.left);
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
    std::string change = "\"" + programPath("kelvane-service-change.exe") + "\" " + ours;
    ASSERT_EQ(runProcess(change + " renamed-by-another-program"), 0);
    bool seen = false;
    for (int i = 0; i < 100 && !seen; ++i) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        pump();
        int index = indexOfService(ours);
        seen = index >= 0 && window->list().textAt(index, 1) == "renamed-by-another-program";
    }
    EXPECT_TRUE(seen) << "no F5 needed";

    // A burst leaves the window answering and the list as the manager has it.
    ASSERT_EQ(runProcess(change + " burst 200"), 0);
    for (int i = 0; i < 40; ++i) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        pump();
    }
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutA(window->handle(), WM_NULL, 0, 0, SMTO_NORMAL, 2000, &answer));
    EXPECT_EQ(window->list().textAt(indexOfService(ours), 1), "burst-199");
}

TEST_F(MainWindowTest, ExportWritesTheTypeAndStateFilteredListToTheChosenFile) {
    std::string ours = services.create();
    open();
    typeSearch("only-the-search-hides-this");
    ASSERT_EQ(window->list().count(), 0);
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    std::string csv = std::string(folder) + "kelvane-window-export.csv";
    DeleteFileA(csv.c_str());
    window->exportServiceListTo(csv);
    std::ifstream in(csv, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str().rfind("Internal Name;Display name;", 0), 0u);
    EXPECT_NE(text.str().find("\n" + ours + ";"), std::string::npos)
        << "the search text does not limit the export";
    in.close();
    DeleteFileA(csv.c_str());

    window->exportServiceListTo("C:\\kelvane-no-such-folder\\list.csv");
    EXPECT_NE(window->statusLine().find("could not be written"), std::string::npos)
        << window->statusLine();
}

TEST_F(MainWindowTest, StartButtonStartsTheSelectionAndReportsEachFailure) {
    std::string first = services.create({"--start-ms=300"});
    std::string broken = services.create({"", "C:\\kelvane\\no-such-service.exe"});
    std::string third = services.create();
    open();
    typeSearch("kvtest-" + std::to_string(GetCurrentProcessId()) + "-");
    for (const std::string& name : {first, broken, third}) {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED;
        state.state = LVIS_SELECTED;
        SendMessageA(listHandle(), LVM_SETITEMSTATE, indexOfService(name),
                     reinterpret_cast<LPARAM>(&state));
    }
    pump();
    ASSERT_TRUE(enabled(IDC_START));
    click(IDC_START);
    EXPECT_EQ(window->statusLine(), "2 services have been started.");
    EXPECT_EQ(queryStatus(first).dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_EQ(queryStatus(third).dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
    int index = indexOfService(third);
    ASSERT_GE(index, 0);
    EXPECT_FALSE(window->list().textAt(index, 5).empty()) << "the list shows the new process";
    EXPECT_FALSE(window->busyCounter().busy());
}

TEST_F(MainWindowTest, RemoveAsksFirstAndNoChangesNothing) {
    std::string ours = services.create();
    open();
    select(indexOfService(ours));
    std::string asked;
    int answer = IDNO;
    Plinth::setMessageBoxHook([&](HWND, const std::string& text, const std::string&, UINT) {
        asked = text;
        return answer;
    });
    click(IDC_REMOVE);
    EXPECT_FALSE(asked.empty());
    EXPECT_GE(indexOfService(ours), 0);
    answer = IDYES;
    select(indexOfService(ours));
    click(IDC_REMOVE);
    Plinth::setMessageBoxHook({});
    EXPECT_LT(indexOfService(ours), 0) << "gone from the list after the refresh";
    EXPECT_NE(window->statusLine().find("1"), std::string::npos) << window->statusLine();
}

// Without a tray instance the platform minimises; Wine without a window
// manager never finishes that, so the rule's other half is tested natively.
TEST_F(MainWindowTest, MinimisingClosesTheWindowWithOneTrayInstance) {
    open();
    Plinth::UniqueHandleObject tray = startTrayProcess(" -nopersist -noupdate");
    ASSERT_TRUE(tray);
    ASSERT_TRUE(waitUntil([] { return trayServiceWindows().size() == 1; }, 20000));
    SendMessageA(window->handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(window->ended()) << "one tray instance: minimising closes";
    EXPECT_TRUE(endAllTrayInstances());
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
    bool fileExists() const { return settings.exists(); }
    int marked() {
        int count = 0;
        for (int i = 0; i < window->list().count(); ++i) {
            count += window->list().textAt(i, listChangesColumn).empty() ? 0 : 1;
        }
        return count;
    }
    void closeWindow() {
        SendMessageA(window->handle(), WM_COMMAND, IDCANCEL, 0);
        window.reset();
    }

    SettingsFileAside settings;
    const std::string& path = settings.path();
};

TEST_F(MainWindowSettingsTest, BaselineCarriesOverAndMarksOnlyWhatIsNew) {
    std::string kept = services.create();
    open(/*persist=*/true);
    EXPECT_EQ(window->settingsPath(), path);
    closeWindow();
    ASSERT_TRUE(fileExists()) << "written at close";

    open(true);
    EXPECT_EQ(marked(), 0) << "a second run marks nothing";
    closeWindow();

    std::string fresh = services.create();
    open(true);
    int index = indexOfService(fresh);
    ASSERT_GE(index, 0);
    EXPECT_EQ(window->list().textAt(index, listChangesColumn), Plinth::loadString(180));
    EXPECT_EQ(window->list().textAt(indexOfService(kept), listChangesColumn), "");
}

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

    std::ifstream in(path, std::ios::binary);
    std::stringstream file;
    file << in.rdbuf();
    EXPECT_NE(file.str().find("serviceName=\"" + ours + "\""), std::string::npos)
        << "the file still holds the rows";
}

TEST_F(MainWindowSettingsTest, NoPersistReadsAndWritesNothing) {
    open(/*persist=*/false);
    EXPECT_EQ(window->settingsPath(), "");
    closeWindow();
    EXPECT_FALSE(fileExists());
}

TEST_F(MainWindowSettingsTest, AnUnknownBaselineColumnKeepsTheOtherSettingsAndMarksNothing) {
    std::string ours = services.create();
    CreateDirectoryA(path.substr(0, path.rfind('\\')).c_str(), nullptr);
    std::string document = "<?xml version=\"1.0\" encoding=\"utf-8\"?><kelvane version=\"4.6\">"
                           "<hostnames><hostname>elsewhere</hostname></hostnames>"
                           "<flags color-bkgnd=\"false\"/><last-entries>"
                           "<row serviceName=\"" +
                           ours +
                           "\"/><row bogus=\"1\"/>"
                           "</last-entries></kelvane>\n";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, document.data(), static_cast<DWORD>(document.size()), &written, nullptr);
    CloseHandle(file);

    open(/*persist=*/true);
    EXPECT_EQ(window->workingConfig().computerHistory.count("elsewhere"), 1u);
    EXPECT_FALSE(window->colouring().colourBackground);
    EXPECT_EQ(marked(), 0) << "a baseline that could not be read whole marks nothing";
    EXPECT_GT(window->list().count(), 0);
}
