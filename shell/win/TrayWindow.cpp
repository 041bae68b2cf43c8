#include "shell/win/TrayWindow.h"

#include "shell/win/AboutDialog.h"

#include "framework/Exception.h"
#include "framework/FailureReport.h"
#include "framework/win/ShellOpen.h"
#include "framework/win/MessageLoop.h"
#include "framework/win/ModuleResources.h"
#include "framework/win/Reports.h"
#include "resources/ResourceIds.h"
#include "shell/win/ServiceDatabaseKey.h"
#include "shell/win/StartTargets.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>

namespace kelvane {

const char trayWindowTitle[] = "TrayService";

namespace {

const char trayWindowClass[] = "KelvaneTrayWindow";
const unsigned waitForAnswerMs = 3000;

void registerWindowClass(WNDPROC procedure) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = Plinth::resourceModule();
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = trayWindowClass;
    // A second registration fails with "class already exists", which is fine.
    RegisterClassExA(&windowClass);
}

NOTIFYICONDATAA iconData(HWND owner) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = owner;
    data.uID = 0;
    return data;
}

// An elevated window gets no registered messages from unelevated processes
// unless it lets them in: the shell (restarted, it sends "TaskbarCreated")
// and other instances (the tray broadcast) run unelevated.
void acceptFromUnelevatedProcesses(HWND window, UINT message) {
    ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr);
}

BOOL CALLBACK countAnswer(HWND window, LPARAM context) {
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutA(window, trayBroadcastMessage(), 0,
                            static_cast<LPARAM>(trayBroadcastMessage()),
                            SMTO_ABORTIFHUNG | SMTO_NORMAL, waitForAnswerMs, &answer) &&
        answer == static_cast<DWORD_PTR>(trayPresentReply)) {
        ++*reinterpret_cast<unsigned*>(context);
    }
    return TRUE;
}

} // namespace

UINT trayBroadcastMessage() {
    static const UINT message = RegisterWindowMessageA("TrayMsg_trevolt-kelvane");
    return message;
}

unsigned countTrayInstances() {
    unsigned count = 0;
    EnumWindows(countAnswer, reinterpret_cast<LPARAM>(&count));
    return count;
}

void closeAllTrayInstances() {
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(HWND_BROADCAST, trayBroadcastMessage(), 0,
                        static_cast<LPARAM>(trayCloseRequest), SMTO_ABORTIFHUNG | SMTO_NORMAL,
                        waitForAnswerMs, &answer);
}

TrayWindow::TrayWindow(const AppConfig& config, bool endsRun)
    : config_(config), endsRun_(endsRun) {}

TrayWindow::~TrayWindow() {
    if (window_) {
        // Destroyed from here the window must not call back into this object.
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        removeIcon();
        DestroyWindow(window_);
    }
}

void TrayWindow::create() {
    trayBroadcastMessage();
    registerWindowClass(windowProcedure);
    HWND window =
        CreateWindowExA(0, trayWindowClass, trayWindowTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                        nullptr, Plinth::resourceModule(), this);
    if (!window) {
        throw Plinth::LWE(GetLastError());
    }
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    acceptFromUnelevatedProcesses(window, taskbarCreated_);
    acceptFromUnelevatedProcesses(window, trayBroadcastMessage());
    // The hidden window owns the report boxes of the tray run while no main
    // window is open.
    if (!Plinth::threadMainWindow()) {
        Plinth::setThreadMainWindow(window);
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    icon_ = static_cast<HICON>(LoadImageA(Plinth::resourceModule(), MAKEINTRESOURCEA(IDI_KELVANE),
                                          IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                          GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    addIcon();
}

LRESULT CALLBACK TrayWindow::windowProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto self =
            static_cast<TrayWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto self = reinterpret_cast<TrayWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    Plinth::GuardResult outcome =
        Plinth::guardCall([&] { result = self->handleMessage(message, wParam, lParam); }, window);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
    }
    if (outcome != Plinth::GuardResult::Done) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return result;
}

LRESULT TrayWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == trayBroadcastMessage()) {
        if (lParam == static_cast<LPARAM>(trayCloseRequest)) {
            PostMessageA(window_, WM_CLOSE, 0, 0);
        }
        return static_cast<LRESULT>(trayPresentReply);
    }
    if (message == trayCallbackMessage) {
        iconMessage(static_cast<UINT>(wParam), static_cast<UINT>(lParam));
        return 0;
    }
    if (taskbarCreated_ && message == taskbarCreated_) {
        addIcon();
        return 0;
    }
    switch (message) {
    case WM_COMMAND:
        command(LOWORD(wParam));
        return 0;
    case WM_DESTROY:
        destroy();
        return 0;
    default:
        return DefWindowProcA(window_, message, wParam, lParam);
    }
}

void TrayWindow::iconMessage(UINT iconId, UINT mouseMessage) {
    POINT cursor{};
    switch (mouseMessage) {
    case WM_MOUSEMOVE:
        mouseMove(iconId);
        return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        TrayButton button = mouseMessage == WM_LBUTTONDOWN   ? TrayButton::Left
                            : mouseMessage == WM_RBUTTONDOWN ? TrayButton::Right
                                                             : TrayButton::Middle;
        SetCapture(window_);
        GetCursorPos(&cursor);
        clicks_.press(button, cursor.x, cursor.y);
        return;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        TrayButton button = mouseMessage == WM_LBUTTONUP   ? TrayButton::Left
                            : mouseMessage == WM_RBUTTONUP ? TrayButton::Right
                                                           : TrayButton::Middle;
        if (button != clicks_.pressed()) {
            return;
        }
        GetCursorPos(&cursor);
        ReleaseCapture();
        if (clicks_.release(button, cursor.x, cursor.y, GetSystemMetrics(SM_CXDOUBLECLK),
                            GetSystemMetrics(SM_CYDOUBLECLK))) {
            click(iconId, static_cast<int>(button));
        }
        return;
    }
    case WM_LBUTTONDBLCLK:
        doubleClick(iconId, 0);
        return;
    case WM_RBUTTONDBLCLK:
        doubleClick(iconId, 1);
        return;
    case WM_MBUTTONDBLCLK:
        doubleClick(iconId, 2);
        return;
    default:
        return;
    }
}

void TrayWindow::destroy() {
    removeIcon();
    if (Plinth::threadMainWindow() == window_) {
        Plinth::setThreadMainWindow(nullptr);
    }
    if (endsRun_) {
        // The run ends here, also for a main window open meanwhile: no
        // report box from now on (see docs/shutdown.md).
        Plinth::enterShutdown();
        PostQuitMessage(0);
    }
}

void TrayWindow::command(int id) {
    switch (id) {
    case ID_TRAY_SHOW:
        showMainWindow();
        break;
    case ID_EVENT_VIEWER:
        Plinth::shellExecute(window_, "eventvwr.exe");
        break;
    case ID_ABOUT:
        AboutDialog::showSingle(window_);
        break;
    case ID_EXIT:
        PostMessageA(window_, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

void TrayWindow::addIcon() {
    NOTIFYICONDATAA data = iconData(window_);
    data.uFlags = NIF_MESSAGE;
    data.uCallbackMessage = trayCallbackMessage;
    if (icon_) {
        data.uFlags |= NIF_ICON;
        data.hIcon = icon_;
    }
    std::string tip = Plinth::loadString(103);
    if (!tip.empty()) {
        data.uFlags |= NIF_TIP;
        lstrcpynA(data.szTip, tip.c_str(), sizeof data.szTip);
    }
    // Without a notification area (no shell yet) the add fails; the shell's
    // "TaskbarCreated" brings us back here.
    Shell_NotifyIconA(NIM_ADD, &data);
}

void TrayWindow::removeIcon() {
    NOTIFYICONDATAA data = iconData(window_);
    Shell_NotifyIconA(NIM_DELETE, &data);
}

void TrayWindow::mouseMove(UINT) {}

void TrayWindow::click(UINT, int button) {
    if (button != static_cast<int>(TrayButton::Right)) {
        return;
    }
    SetForegroundWindow(window_);
    Plinth::UniqueMenu menu = loadMenu();
    HMENU popup = popupOf(menu.get());
    if (!popup) {
        return;
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window_, nullptr);
    // Without a message after the menu, a second click on the icon would
    // not open it again.
    PostMessageA(window_, WM_NULL, 0, 0);
}

void TrayWindow::doubleClick(UINT, int) {
    SetForegroundWindow(window_);
    Plinth::UniqueMenu menu = loadMenu();
    HMENU popup = popupOf(menu.get());
    if (popup) {
        command(static_cast<int>(GetMenuItemID(popup, 0)));
    }
}

Plinth::UniqueMenu TrayWindow::loadMenu() {
    const void* menuTemplate = Plinth::loadLocalisedResource(RT_MENU, MAKEINTRESOURCEA(IDM_TRAY));
    return Plinth::UniqueMenu(menuTemplate ? LoadMenuIndirectA(menuTemplate) : nullptr);
}

HMENU TrayWindow::popupOf(HMENU menu) {
    HMENU popup = menu ? GetSubMenu(menu, 0) : nullptr;
    if (popup) {
        SetMenuDefaultItem(popup, 0, TRUE);
    }
    return popup;
}

void TrayWindow::showMainWindow() {
    // Modal to nothing: the icon keeps answering, and a second request
    // opens a second main window on the key the first one opened.
    struct KeyForThisWindow {
        bool opened = !serviceDatabaseKey() && openServiceDatabaseKey();
        ~KeyForThisWindow() {
            if (opened) {
                closeServiceDatabaseKey();
            }
        }
    } key;
    if (!serviceDatabaseKey()) {
        return;
    }
    AppConfig working = config_;
    runMainWindow(working, /*endsProgram=*/false);
}

int runTray(const AppConfig& config) {
    TrayWindow tray(config);
    // A window that cannot be made is reported like any failure nobody caught.
    if (Plinth::guardCall([&] { tray.create(); }) != Plinth::GuardResult::Done) {
        return 1;
    }
    return Plinth::runLoop();
}

} // namespace kelvane
