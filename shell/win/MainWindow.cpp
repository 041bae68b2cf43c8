#include "shell/win/MainWindow.h"

#include "framework/Exception.h"
#include "framework/FailureReport.h"
#include "framework/win/Reports.h"
#include "framework/win/ShellOpen.h"
#include "framework/TextFormat.h"
#include "framework/win/ModuleResources.h"
#include "framework/win/Reports.h"
#include "operations/win/WaitCursor.h"
#include "resources/ProductInfo.h"
#include "resources/ResourceIds.h"
#include "shell/win/AboutDialog.h"
#include "shell/win/ColorLegendDialog.h"
#include "operations/win/OperationCommands.h"
#include "operations/win/ParameterCommands.h"
#include "shell/NameHistory.h"
#include "shell/TrayClicks.h"
#include "shell/win/AdminRights.h"
#include "shell/win/HelpViewer.h"
#include "shell/win/ServiceDatabaseKey.h"
#include "shell/win/StartTargets.h"
#include "shell/win/StoredPlacement.h"
#include "shell/win/TrayWindow.h"
#include "shell/win/UserFolders.h"

#include <commctrl.h>

#include <optional>

namespace kelvane {

namespace {

constexpr COLORREF navy = RGB(0, 0, 128), blue = RGB(0, 0, 255);
constexpr COLORREF removeFace = RGB(224, 224, 224), removeHover = RGB(192, 64, 64);
constexpr int startEnlargement = 200;
// How long the end of the window waits for the reader (see docs/shutdown.md).
constexpr DWORD readerStopBoundMs = 3000;

struct ButtonColours {
    int id;
    COLORREF text, hover;
};
constexpr ButtonColours colourButtons[] = {
    {IDC_START, navy, blue},
    {IDC_STOP, navy, blue},
    {IDC_PAUSE, navy, blue},
    {IDC_CONTINUE, navy, blue},
    {IDC_RESTART, navy, blue},
    {IDC_REFRESH, navy, blue},
    {IDC_BROWSE_HOST, navy, blue},
    {IDC_LOGIN_AS, navy, blue},
    {IDC_REMOVE, removeFace, removeHover},
};

struct ToolTip {
    int control;
    unsigned text;
};
constexpr ToolTip toolTips[] = {
    {IDC_ACTIVE, 108}, {IDC_INACTIVE, 109}, {IDC_MICROSOFT, 110}, {IDC_ADMIN, 182}};

// The text of a combo box's selected list entry; nothing without one.
std::optional<std::string> selectedComboText(HWND combo) {
    LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    LRESULT length = index >= 0 ? SendMessageA(combo, CB_GETLBTEXTLEN, index, 0) : CB_ERR;
    if (length < 0) {
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

} // namespace

MainWindow::MainWindow(AppConfig& config, ManagerOpener openManager)
    : Plinth::Dialog(IDD_MAIN), config_(config), working_(config),
      openManager_(std::move(openManager)), busy_([this](bool busy) {
          if (busy) {
              for (int id :
                   {IDC_START, IDC_STOP, IDC_PAUSE, IDC_CONTINUE, IDC_RESTART, IDC_REMOVE}) {
                  EnableWindow(item(id), FALSE);
              }
          } else {
              updateActionButtons();
          }
      }) {}

MainWindow::~MainWindow() {
    // The threads go before the entries and tables they use, and the
    // checker while this window can still answer it. The reader keeps all
    // it uses in itself, so a read that hangs in a remote manager is left
    // to end on its own instead of holding up the end of the window.
    updateChecker_.shutdown();
    Plinth::WorkerThread::stopWithin(std::move(stateWatcher_), StateWatcher::stopBoundMs);
    watcher_.reset();
    icons_.reset();
    Plinth::WorkerThread::stopWithin(std::move(reader_), readerStopBoundMs);
}

bool MainWindow::onInit() {
    // A window built only in part would run without its reader or icons:
    // it reports why and closes.
    if (Plinth::guardCall([this] { build(); }, handle()) != Plinth::GuardResult::Done) {
        end(IDCANCEL);
        return true;
    }
    ready_ = true;
    refresh();
    updateActionButtons();
    return true;
}

void MainWindow::build() {
    attachMenu();
    startLayout();
    makeButtonsAndTooltips();
    // Report boxes that name no owner belong to this window while it is open.
    formerThreadMainWindow_ = Plinth::threadMainWindow();
    Plinth::setThreadMainWindow(handle());
    reader_ = std::make_unique<ServiceReader>(serviceDatabaseKey(), openManager_);
    startStateWatcher();
    if (HKEY key = serviceDatabaseKey()) {
        watcher_ = std::make_unique<RegistryWatcher>(key, handle());
    }
    colouring_.colourBackground = true;
    filter_.showMicrosoft = true;
    adminRights_ = hasAdministrativeRights();
    changeWords_ = {Plinth::loadString(180), Plinth::loadString(181)};
    setIconsAndAccelerators();
    // The wait cursor of a refresh stays up over these controls.
    SetClassLongPtrA(item(IDC_SERVICE_KIND), GCLP_HCURSOR, 0);
    SetClassLongPtrA(
        reinterpret_cast<HWND>(SendMessageA(item(IDC_SERVICE_LIST), LVM_GETHEADER, 0, 0)),
        GCLP_HCURSOR, 0);
    registerAnchorsAndEnlarge();
    prepareList();
    extendSystemMenu();
    fillFilterControls();
    updateChecker_.startAutomaticCheck();
    const std::string folder = working_.noPersist ? std::string() : localAppDataFolder();
    if (!folder.empty()) {
        readStoredSettings(folder);
    }
    showView(settings_.view);
    startIconCache(folder);
    exchange(false);
    applyInitialPlacement();
    UpdateWindow(handle());
}

void MainWindow::attachMenu() {
    // The template names no menu (see resources/windows.rci); the window
    // grows by the menu bar so the controls keep their room.
    RECT before{}, after{}, outer{};
    GetClientRect(handle(), &before);
    menu_.reset(
        LoadMenuIndirectA(Plinth::loadLocalisedResource(RT_MENU, MAKEINTRESOURCEA(IDM_MAIN))));
    SetMenu(handle(), menu_.get());
    GetClientRect(handle(), &after);
    GetWindowRect(handle(), &outer);
    SetWindowPos(handle(), nullptr, 0, 0, outer.right - outer.left,
                 outer.bottom - outer.top + (before.bottom - after.bottom),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::makeButtonsAndTooltips() {
    for (std::size_t i = 0; i < std::size(colourButtons); ++i) {
        buttons_[i].attach(item(colourButtons[i].id), colourButtons[i].text,
                           colourButtons[i].hover);
    }
    tooltip_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle(), nullptr,
                               Plinth::resourceModule(), nullptr);
    if (!tooltip_) {
        throw Plinth::LWE();
    }
    SendMessageA(tooltip_, TTM_ACTIVATE, TRUE, 0);
    for (const ToolTip& tip : toolTips) {
        std::string text = Plinth::loadString(tip.text);
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS | TTF_TRANSPARENT;
        tool.hwnd = handle();
        tool.uId = reinterpret_cast<UINT_PTR>(item(tip.control));
        tool.lpszText = text.data();
        if (!SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool))) {
            throw Plinth::LWE();
        }
    }
}

void MainWindow::setIconsAndAccelerators() {
    HINSTANCE module = Plinth::resourceModule();
    bigIcon_.reset(static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(IDI_KELVANE), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXICON),
                                                 GetSystemMetrics(SM_CYICON), 0)));
    smallIcon_.reset(static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(IDI_KELVANE),
                                                   IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), 0)));
    SendMessageA(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageA(handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    accelerators_ = LoadAcceleratorsA(module, MAKEINTRESOURCEA(IDR_ACCELERATORS));
}

void MainWindow::registerAnchorsAndEnlarge() {
    using Plinth::ResizeLayout;
    anchor(IDC_FILTER, ResizeLayout::rightFollowsWidth);
    anchor(IDC_REFRESH, ResizeLayout::leftFollowsWidth | ResizeLayout::rightFollowsWidth);
    for (int id :
         {IDC_SERVICE_ICON, IDC_ADMIN, IDC_START, IDC_STOP, IDC_PAUSE, IDC_CONTINUE, IDC_RESTART}) {
        anchor(id, ResizeLayout::topFollowsHeight | ResizeLayout::bottomFollowsHeight);
    }
    anchor(IDC_REMOVE, 15);
    anchor(IDC_SERVICE_LIST, ResizeLayout::rightFollowsWidth | ResizeLayout::bottomFollowsHeight);
    anchor(IDC_STATUS_LINE, ResizeLayout::rightFollowsWidth | ResizeLayout::topFollowsHeight |
                                ResizeLayout::bottomFollowsHeight);
    RECT outer{};
    GetWindowRect(handle(), &outer);
    SetWindowPos(handle(), nullptr, 0, 0, outer.right - outer.left,
                 outer.bottom - outer.top + scaled(startEnlargement),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    relayout();
}

void MainWindow::prepareList() {
    HWND list = item(IDC_SERVICE_LIST);
    list_.attach(list, nullptr);
    makeBoldFont(reinterpret_cast<HFONT>(SendMessageA(handle(), WM_GETFONT, 0, 0)));
    // Headers can be dragged: the user's column order is kept.
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP,
                 LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
    list_.insertColumns(dpi());
}

void MainWindow::extendSystemMenu() {
    HMENU system = GetSystemMenu(handle(), FALSE);
    if (system) {
        AppendMenuA(system, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(system, MF_STRING, ID_ABOUT, Plinth::loadString(101).c_str());
    }
}

void MainWindow::fillFilterControls() {
    HWND drivers = item(IDC_DRIVER_KIND), services = item(IDC_SERVICE_KIND);
    for (unsigned text : {123u, 124u, 125u}) {
        SendMessageA(drivers, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(Plinth::loadString(text).c_str()));
    }
    SendMessageA(drivers, CB_SETCURSEL, 2, 0);
    EnableWindow(drivers, FALSE);
    for (unsigned text : {126u, 127u, 128u}) {
        SendMessageA(services, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(Plinth::loadString(text).c_str()));
    }
    SendMessageA(services, CB_SETCURSEL, 2, 0);
    showAdminControls();
}

void MainWindow::readStoredSettings(const std::string& folder) {
    settingsPath_ = settingsFilePath(folder);
    // A damaged baseline leaves the baseline empty but keeps the rest.
    readSettingsFile(settingsPath_, settings_, tables_.baseline);
    tables_.baselineValid = tables_.baseline.rowCount() > 0;
    working_.computerHistory = settings_.computerHistory;
    working_.searchHistory = settings_.searchHistory;
    colouring_.colourBackground = settings_.colourBackground;
}

void MainWindow::startIconCache(const std::string& localAppData) {
    IconUpdater::Setup setup;
    setup.window = handle();
    if (!localAppData.empty()) {
        setup.files = iconCacheFiles(localAppData);
    }
    setup.entries = &entries_;
    setup.refreshLock = &refreshLock_;
    setup.hostIsLocal = [this] { return reader_->hostInfo().isLocal; };
    icons_ = std::make_unique<IconUpdater>(std::move(setup));
    SendMessageA(item(IDC_SERVICE_LIST), LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(icons_->imageList()));
}

void MainWindow::applyInitialPlacement() {
    if (applyStoredPlacement(handle(), settings_.placement)) {
        relayout();
        return;
    }
    RECT window{}, work{};
    GetWindowRect(handle(), &window);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    int width = window.right - window.left, height = window.bottom - window.top;
    SetWindowPos(handle(), nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + std::max(0L, (work.bottom - work.top - height) / 2), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(handle(), SW_SHOW);
}

bool MainWindow::exchange(bool save) {
    HWND host = item(IDC_HOST), filter = item(IDC_FILTER);
    if (save) {
        char text[1024];
        GetWindowTextA(host, text, sizeof text);
        working_.computerName = text;
        GetWindowTextA(filter, text, sizeof text);
        working_.filterText = text;
        filter_.searchText = working_.filterText;
        colouring_.searchText = working_.filterText;
        return true;
    }
    SendMessageA(host, CB_RESETCONTENT, 0, 0);
    for (const std::string& name : working_.computerHistory) {
        SendMessageA(host, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    SendMessageA(filter, CB_RESETCONTENT, 0, 0);
    for (const std::string& text : working_.searchHistory) {
        SendMessageA(filter, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SetWindowTextA(host, working_.computerName.c_str());
    SetWindowTextA(filter, working_.filterText.c_str());
    filter_.searchText = working_.filterText;
    colouring_.searchText = working_.filterText;
    return true;
}

void MainWindow::putFirstInCombo(int comboId, const std::string& text,
                                 std::set<std::string>* history) {
    if (history) {
        addToHistory(*history, text);
    }
    // Whole entries, ignoring case: "srv1" is not "srv10".
    HWND combo = item(comboId);
    if (!text.empty() && SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(text.c_str())) == CB_ERR) {
        SendMessageA(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void MainWindow::close(int result) {
    if (result == IDOK) {
        if (!exchange(true)) {
            return;
        }
        config_ = working_;
    }
    // Only asked to stop: the end of the window waits for it, with a bound,
    // so that a read hanging in the manager cannot keep the window open.
    reader_->stop(Plinth::WorkerThread::NoJoin);
    stateWatcher_->stop(Plinth::WorkerThread::NoJoin);
    saveSession();
    end(result);
}

void MainWindow::saveSession() {
    settings_.takePlacement(storedPlacementOf(handle()));
    settings_.view = currentView();
    if (working_.noPersist || settingsPath_.empty()) {
        return;
    }
    settings_.computerHistory = working_.computerHistory;
    settings_.searchHistory = working_.searchHistory;
    settings_.colourBackground = colouring_.colourBackground;
    writeSettingsFile(settingsPath_, settings_, tables_.baseline);
}

void MainWindow::relaunchAsAdministrator() {
    // The new process reads the settings file as it starts, and this one
    // ends by the quit message without a close: store the session first.
    saveSession();
    relaunchElevated(handle());
}

bool MainWindow::translateKey(MSG& message) {
    return accelerators_ && TranslateAcceleratorA(handle(), accelerators_, &message);
}

void MainWindow::onDestroy() {
    if (Plinth::threadMainWindow() == handle()) {
        Plinth::setThreadMainWindow(formerThreadMainWindow_);
    }
    if (tooltip_) {
        DestroyWindow(tooltip_);
        tooltip_ = nullptr;
    }
    SetMenu(handle(), nullptr);
}

bool MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // The buttons draw themselves from the first paint on, which comes while
    // the window is still being built; a button left undrawn then stays blank.
    if (message == WM_DRAWITEM) {
        result = Plinth::forwardDrawItem(lParam) ? TRUE : FALSE;
        return true;
    }
    if (!ready_) {
        return false;
    }
    switch (message) {
    case WM_APP: {
        // A burst of changes asks for one refresh, not one each.
        MSG queued;
        while (PeekMessageA(&queued, handle(), WM_APP, WM_APP, PM_REMOVE)) {
        }
        refresh();
        return true;
    }
    case WM_APP + 1:
        rebuildList(false);
        list_.refitFittedColumns();
        return true;
    case StateWatcher::changesMessage:
        showStateChanges();
        return true;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == ID_ABOUT) {
            showAbout();
            return true;
        }
        // With a tray icon of ours to come back to, minimising closes.
        if ((wParam & 0xFFF0) == SC_MINIMIZE && minimiseEndsMainWindow(countTrayInstances())) {
            close(IDCANCEL);
            return true;
        }
        return false;
    case WM_INITMENUPOPUP:
        CheckMenuItem(reinterpret_cast<HMENU>(wParam), ID_COLOR_BACKGROUND,
                      MF_BYCOMMAND | (colouring_.colourBackground ? MF_CHECKED : MF_UNCHECKED));
        return false;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == item(IDC_SERVICE_LIST) && lParam == -1) {
            contextMenuFromKeyboard();
            return true;
        }
        return false;
    case WM_CLOSE:
        close(IDCANCEL);
        return true;
    default:
        return false;
    }
}

bool MainWindow::onCommand(int id, int code, HWND control) {
    if (!ready_) {
        return Plinth::Dialog::onCommand(id, code, control);
    }
    switch (id) {
    case ID_ABOUT:
        showAbout();
        return true;
    case IDC_REFRESH:
        // Asked for by hand: what the status line held is done with.
        setStatusLine("");
        refresh();
        rebuildList(true);
        return true;
    case IDC_TASK_MANAGER:
        runTaskManager();
        return true;
    case IDC_SERVICES:
    case IDC_DRIVERS:
    case IDC_ACTIVE:
    case IDC_INACTIVE:
    case IDC_MICROSOFT:
        if (code == BN_CLICKED) {
            filterBoxesChanged();
        }
        return true;
    case IDC_SERVICE_KIND:
    case IDC_DRIVER_KIND:
        if (code == CBN_SELCHANGE) {
            filterBoxesChanged();
        }
        return true;
    case IDC_FILTER:
        if (code == CBN_EDITCHANGE) {
            char text[1024];
            GetWindowTextA(item(IDC_FILTER), text, sizeof text);
            searchTextChanged(text);
        } else if (code == CBN_SELCHANGE) {
            if (auto text = selectedComboText(item(IDC_FILTER))) {
                searchTextChanged(*text);
            }
        }
        return true;
    case IDC_HOST:
        if (code == CBN_SELCHANGE) {
            if (auto text = selectedComboText(item(IDC_HOST))) {
                working_.computerName = *text;
                SetWindowTextA(item(IDC_HOST), text->c_str());
                setStatusLine("");
                refresh();
            }
        }
        return true;
    case ID_CHECK_VERSION:
        updateChecker_.checkVersionCommand();
        return true;
    case ID_SHOW_PAD:
        openWithVerb(KELVANE_PAD_ADDRESS, "open");
        return true;
    case ID_EXIT:
        PostMessageA(handle(), WM_CLOSE, 0, 0);
        return true;
    case ID_EVENT_VIEWER:
        openWithVerb("eventvwr.exe", "open");
        return true;
    case ID_COPY_TO_CLIPBOARD:
        copyCellToClipboard();
        return true;
    case ID_FILE_PROPERTIES:
        showFileProperties();
        return true;
    case ID_OPEN_FOLDER:
        openImageFolder();
        return true;
    case ID_EXPORT:
        exportServiceList();
        return true;
    case ID_COLOR_BACKGROUND:
        toggleColouring();
        return true;
    case ID_COLOR_LEGEND:
        showColorLegend();
        return true;
    case ID_RESET_VIEW:
        resetView();
        return true;
    case ID_BUG_REPORT:
        openWithVerb(KELVANE_ISSUES_ADDRESS, "open");
        return true;
    case ID_HELP_CONTENTS:
        showHelpContents(handle());
        return true;
    case IDC_ADMIN:
        relaunchAsAdministrator();
        return true;
    case ID_EDIT_SERVICE:
        editEntryAtSelectionMark();
        return true;
    case IDOK:
    case IDCANCEL:
        close(id);
        return true;
    default:
        return runOperationCommand(*this, id);
    }
}

void MainWindow::showAdminControls() {
    updateAdminControls(handle(), adminRights_, reader_->hostInfo().isLocal);
}

void MainWindow::editEntryAtSelectionMark() {
    ServiceEntry entry;
    int mark = static_cast<int>(SendMessageA(item(IDC_SERVICE_LIST), LVM_GETSELECTIONMARK, 0, 0));
    if (entryAt(mark, entry)) {
        editServiceCommand(*this, entry);
    }
}

void MainWindow::setStatusLine(const std::string& text) {
    SetDlgItemTextA(handle(), IDC_STATUS_LINE, text.c_str());
}

std::string MainWindow::statusLine() const {
    HWND line = item(IDC_STATUS_LINE);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(line)) + 1, '\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextA(line, text.data(), static_cast<int>(text.size()))));
    return text;
}

void MainWindow::addStatusLineOnce(const std::string& line) {
    const std::string shown = statusLine();
    if (shown.find(line) == std::string::npos) {
        setStatusLine(shown.empty() ? line : shown + "\r\n" + line);
    }
}

bool MainWindow::isChecked(int id) const {
    return IsDlgButtonChecked(handle(), id) == BST_CHECKED;
}

void MainWindow::filterBoxesChanged() {
    takeFilterBoxes(filterBoxes());
    rebuildList(true);
}

void MainWindow::searchTextChanged(const std::string& text) {
    working_.filterText = text;
    filter_.searchText = text;
    colouring_.searchText = text;
    rebuildList(true);
}

void MainWindow::toggleColouring() {
    colouring_.colourBackground = !colouring_.colourBackground;
    InvalidateRect(item(IDC_SERVICE_LIST), nullptr, TRUE);
}

void MainWindow::showAbout() {
    AboutDialog::showSingle(handle());
}

void MainWindow::showColorLegend() {
    ColorLegendDialog legend;
    legend.runModal(handle());
}

void MainWindow::openWithVerb(const char* target, const char* verb) {
    // A failed shell start leaves nothing to report that the user could act on.
    Plinth::shellExecute(handle(), target, {verb});
}

void MainWindow::runTaskManager() {
    STARTUPINFOA startup{sizeof startup};
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    char commandLine[] = "taskmgr.exe";
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        throw Plinth::LWE();
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

int runMainWindow(AppConfig& config, bool endsProgram, const ManagerOpener& openManager) {
    MainWindow window(config, openManager);
    const auto result = static_cast<int>(window.runModal(nullptr));
    if (endsProgram) {
        // Before the window's threads are joined: a report box now would
        // have no window to belong to and would hold up the end.
        Plinth::enterShutdown();
    }
    return result;
}

} // namespace kelvane
