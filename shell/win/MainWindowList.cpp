// The main window's service list: refresh, rebuild, selection, the list's
// notifications and the commands of its context menu.
#include "shell/win/MainWindow.h"

#include "framework/Exception.h"
#include "framework/win/ShellOpen.h"
#include "framework/win/DispatchingWaits.h"
#include "framework/win/MessageLoop.h"
#include "framework/win/ModuleResources.h"
#include "operations/ActionAvailability.h"
#include "operations/win/ServiceQueries.h"
#include "operations/win/WaitCursor.h"
#include "resources/ResourceIds.h"
#include "shell/win/RefreshLockScope.h"

#include <commctrl.h>

#include <cstring>
#include <mutex>

namespace kelvane {

namespace {

// Sets a flag for the length of a scope.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

constexpr int actionButtonIds[] = {IDC_START,    IDC_STOP,    IDC_PAUSE,
                                   IDC_CONTINUE, IDC_RESTART, IDC_REMOVE};

} // namespace

void MainWindow::refresh() {
    if (refreshing_) {
        refreshAgain_ = true;
        return;
    }
    FlagScope running(refreshing_);
    do {
        refreshAgain_ = false;
        refreshOnce();
    } while (refreshAgain_);
    list_.fitWaitingColumns();
}

void MainWindow::refreshOnce() {
    // After close the reader has been asked to stop and reads no more.
    if (ended()) {
        return;
    }
    WaitCursor wait;
    if (!exchange(true)) {
        return;
    }
    putFirstInCombo(IDC_HOST, working_.computerName, &working_.computerHistory);
    putFirstInCombo(IDC_FILTER, working_.filterText, &working_.searchHistory);
    if (working_.computerName.empty()) {
        working_.computerName = localHostName();
        SetWindowTextA(item(IDC_HOST), working_.computerName.c_str());
        putFirstInCombo(IDC_HOST, working_.computerName, nullptr);
    }
    reader_->setHost(working_.computerName);
    showAdminControls();

    RefreshResult result;
    {
        RefreshLockScope lock(refreshLock_);
        if (!lock) {
            return;
        }
        // The marks of the last refresh end as this one starts.
        list_.clearChangeMarks();
        reader_->startRead();
        // A close handled during the wait ends the refresh: a read that hangs
        // in the manager must not keep the window's end waiting.
        result = runRefreshCycle(reader_->state(), tables_, reader_->hostInfo().isLocal, entries_,
                                 *this, [this] { return !ended() && waitForReaderStep(*reader_); });
    }
    if (!result.completed) {
        return;
    }
    if (!result.errorText.empty()) {
        addStatusLineOnce(result.errorText);
    }
    list_.sortKeepingView();
    icons_->startPass();
    followServices();
}

void MainWindow::rebuildList(bool iconPass) {
    if (!rebuildItems()) {
        return;
    }
    list_.fitWaitingColumns();
    if (iconPass) {
        icons_->startPass();
    }
    showSelectedService();
}

bool MainWindow::rebuildItems() {
    HWND list = item(IDC_SERVICE_LIST);
    // The items are made anew; the user's choice is carried over by name.
    FlagScope restoring(restoringSelection_);
    NamedSelection kept;
    {
        RefreshLockScope lock(refreshLock_);
        if (!lock) {
            return false;
        }
        kept = list_.namedSelection();
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        list_.removeAll();
        std::lock_guard<ServiceEntries::Mutex> entriesGuard(entries_.mutex());
        for (const auto& [number, entry] : entries_.entries()) {
            if (passesFilter(entry, filter_, detailsOf(entry.binaryPath))) {
                list_.addItem(number, entry, itemTexts(entry), itemImage(entry));
            }
        }
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    list_.sort();
    list_.restoreSelection(kept);
    InvalidateRect(list, nullptr, TRUE);
    return true;
}

const FileDetails* MainWindow::detailsOf(const SharedText& binaryPath) {
    if (binaryPath.empty()) {
        return nullptr;
    }
    lookedUp_ = icons_->details(binaryPath.str());
    return lookedUp_.detailsRead ? &lookedUp_ : nullptr;
}

ListItemTexts MainWindow::itemTexts(const ServiceEntry& entry) {
    return listItemTexts(entry, detailsOf(entry.binaryPath), changeWords_);
}

int MainWindow::itemImage(const ServiceEntry& entry) {
    return icons_->cachedIcon(entry);
}

void MainWindow::entryAdded(int number, const ServiceEntry& entry) {
    if (passesFilter(entry, filter_, detailsOf(entry.binaryPath))) {
        list_.addItem(number, entry, itemTexts(entry), itemImage(entry));
    }
}

void MainWindow::entryChanged(int number, const ServiceEntry& entry) {
    list_.updateItem(number, entry, itemTexts(entry), itemImage(entry));
}

void MainWindow::entryRemoved(int number, const ServiceEntry&) {
    list_.removeItem(number);
}

// Each insertion into a list that draws costs the platform a scroll bar
// update and a repaint; one per difference keeps a large read quick.
void MainWindow::batchBegins() {
    SendMessageA(item(IDC_SERVICE_LIST), WM_SETREDRAW, FALSE, 0);
}

void MainWindow::batchEnds() {
    HWND list = item(IDC_SERVICE_LIST);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, FALSE);
}

bool MainWindow::entryAt(int index, ServiceEntry& entry) {
    const int number = list_.numberAt(index);
    if (number == 0) {
        return false;
    }
    std::lock_guard<ServiceEntries::Mutex> guard(entries_.mutex());
    const ServiceEntry* found = entries_.find(number);
    if (!found) {
        return false;
    }
    entry = *found;
    return true;
}

std::vector<ServiceEntry> MainWindow::selectedEntries() const {
    std::vector<ServiceEntry> selected;
    HWND list = item(IDC_SERVICE_LIST);
    std::lock_guard<ServiceEntries::Mutex> guard(entries_.mutex());
    for (int index = -1;;) {
        index = static_cast<int>(
            SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(index), LVNI_SELECTED));
        if (index < 0) {
            return selected;
        }
        if (const ServiceEntry* entry = entries_.find(list_.numberAt(index))) {
            selected.push_back(*entry);
        }
    }
}

bool MainWindow::selectedEntry(ServiceEntry& entry) {
    int index = static_cast<int>(SendMessageA(item(IDC_SERVICE_LIST), LVM_GETNEXTITEM,
                                              static_cast<WPARAM>(-1), LVNI_SELECTED));
    return entryAt(index, entry);
}

void MainWindow::updateActionButtons() {
    ServiceEntry entry;
    const bool selected = selectedEntry(entry);
    ServiceCapabilities capabilities;
    if (selected && !busy_.busy()) {
        SERVICE_STATUS status{};
        queryStatusAndControls(busy_, hostName(), &entry, status,
                               [this](const std::string& text) { setStatusLine(text); });
        capabilities.state = status.dwCurrentState;
        capabilities.controls = status.dwControlsAccepted;
        capabilities.startType = entry.startType;
    }
    ActionButtons buttons = actionButtonsFor(selected, busy_.busy(), capabilities);
    const bool enabled[] = {buttons.start,  buttons.stop,    buttons.pause,
                            buttons.resume, buttons.restart, buttons.remove};
    for (std::size_t i = 0; i < std::size(actionButtonIds); ++i) {
        EnableWindow(item(actionButtonIds[i]), enabled[i]);
    }
}

void MainWindow::showServiceIcon(int image) {
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(
        SendMessageA(item(IDC_SERVICE_LIST), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    Plinth::UniqueIcon icon(images && image >= 0 ? ImageList_GetIcon(images, image, ILD_NORMAL)
                                                 : nullptr);
    SendDlgItemMessageA(handle(), IDC_SERVICE_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(icon.get()), 0);
    serviceIcon_ = std::move(icon);
}

void MainWindow::selectionChanged() {
    ServiceEntry entry;
    setStatusLine(selectedEntry(entry) ? entry.displayName.str() : std::string());
    showSelectedService();
}

void MainWindow::showSelectedService() {
    ServiceEntry entry;
    const bool selected = selectedEntry(entry);
    updateActionButtons();
    showServiceIcon(selected ? itemImage(entry) : -1);
}

bool MainWindow::onNotify(NMHDR& header, LRESULT& result) {
    if (!ready_ || header.idFrom != IDC_SERVICE_LIST) {
        return false;
    }
    // A failure here would otherwise repeat with every paint: it goes to
    // the status line.
    try {
        result = listNotification(header);
    } catch (const Plinth::Exception& e) {
        setStatusLine(e.getMessage());
        result = 0;
    } catch (const std::exception& e) {
        setStatusLine(e.what());
        result = 0;
    }
    return true;
}

LRESULT MainWindow::listNotification(NMHDR& header) {
    switch (header.code) {
    case LVN_GETDISPINFOA:
        list_.answerTextRequest(reinterpret_cast<NMLVDISPINFOA&>(header));
        return 0;
    case LVN_COLUMNCLICK: {
        WaitCursor wait;
        colouring_.sortChosen = true;
        list_.chooseSortColumn(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
        colouring_.sortColumn = list_.sortColumn();
        InvalidateRect(item(IDC_SERVICE_LIST), nullptr, FALSE);
        return 0;
    }
    case LVN_ITEMCHANGED: {
        if (restoringSelection_) {
            return 0;
        }
        const NMLISTVIEW& change = reinterpret_cast<NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED) &&
            !(change.uOldState & LVIS_SELECTED)) {
            selectionChanged();
        } else if ((change.uChanged & LVIF_STATE) && (change.uOldState & LVIS_SELECTED) &&
                   !(change.uNewState & LVIS_SELECTED) &&
                   SendMessageA(item(IDC_SERVICE_LIST), LVM_GETSELECTEDCOUNT, 0, 0) == 0) {
            // Nothing selected any more: no button may act on a stale selection.
            updateActionButtons();
            showServiceIcon(-1);
        }
        return 0;
    }
    case NM_DBLCLK:
        PostMessageA(handle(), WM_COMMAND, ID_EDIT_SERVICE, 0);
        return 0;
    case NM_RCLICK:
        contextMenuAtCursor();
        return 0;
    case NM_CUSTOMDRAW:
        return list_.customDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header), colouring_);
    default:
        return 0;
    }
}

void MainWindow::contextMenuAtCursor() {
    HWND list = item(IDC_SERVICE_LIST);
    POINT screen{};
    GetCursorPos(&screen);
    LVHITTESTINFO hit{};
    hit.pt = screen;
    ScreenToClient(list, &hit.pt);
    SendMessageA(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    showContextMenu(screen, hit.iItem, hit.iSubItem);
}

void MainWindow::contextMenuFromKeyboard() {
    HWND list = item(IDC_SERVICE_LIST);
    int index = static_cast<int>(SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0));
    RECT bounds{};
    bounds.left = LVIR_LABEL;
    if (index < 0 ||
        !SendMessageA(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&bounds))) {
        return;
    }
    POINT screen{bounds.left, bounds.bottom};
    ClientToScreen(list, &screen);
    showContextMenu(screen, index, 0);
}

void MainWindow::showContextMenu(POINT screen, int index, int column) {
    contextHit_ = {item(IDC_SERVICE_LIST), index, column};
    ServiceEntry entry;
    if (index < 0 || !entryAt(index, entry)) {
        return;
    }
    const auto statusLine = [this](const std::string& text) { setStatusLine(text); };
    SERVICE_STATUS status{};
    const std::string host = hostName();
    queryStatusAndControls(busy_, host, &entry, status, statusLine);
    std::vector<BYTE> buffer;
    const QUERY_SERVICE_CONFIGA* config = queryConfig(busy_, host, &entry, buffer, statusLine);
    if (!config) {
        return;
    }
    ServiceCapabilities capabilities;
    capabilities.state = status.dwCurrentState;
    capabilities.controls = status.dwControlsAccepted;
    capabilities.startType = static_cast<std::int32_t>(config->dwStartType);
    capabilities.serviceType = config->dwServiceType;
    capabilities.hasProcess = !entry.pidText.empty();
    capabilities.onThisComputer = hostIsLocal();
    const bool locked = !adminRights_ && capabilities.onThisComputer;
    ContextMenuActions actions = contextMenuActionsFor(capabilities, locked);

    Plinth::UniqueMenu menu(LoadMenuIndirectA(
        Plinth::loadLocalisedResource(RT_MENU, MAKEINTRESOURCEA(IDM_SERVICE_CONTEXT))));
    HMENU popup = menu ? GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup) {
        return;
    }
    auto enable = [popup](UINT id, bool on) {
        EnableMenuItem(popup, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    };
    enable(IDC_START, actions.start);
    enable(IDC_STOP, actions.stop);
    enable(IDC_PAUSE, actions.pause);
    enable(IDC_CONTINUE, actions.resume);
    enable(IDC_RESTART, actions.restart);
    // Menu ids by start type 0 boot, 1 system, 2 automatic, 3 manual, 4 disabled.
    const UINT startTypeIds[] = {ID_START_TYPE_BOOT, ID_START_TYPE_SYSTEM, ID_START_TYPE_AUTOMATIC,
                                 ID_START_TYPE_MANUAL, ID_START_TYPE_DISABLED};
    for (int type = 0; type < 5; ++type) {
        enable(startTypeIds[type], actions.startType[type]);
    }
    enable(ID_KILL_PROCESS, actions.kill);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, handle(),
                   nullptr);
}

void MainWindow::copyCellToClipboard() {
    if (contextHit_.list != item(IDC_SERVICE_LIST)) {
        return;
    }
    std::string text = list_.textAt(contextHit_.item, contextHit_.column).substr(0, 259);
    if (text.empty() || !OpenClipboard(handle())) {
        return;
    }
    EmptyClipboard();
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
        if (void* bytes = GlobalLock(memory)) {
            std::memcpy(bytes, text.c_str(), text.size() + 1);
            GlobalUnlock(memory);
            if (!SetClipboardData(CF_TEXT, memory)) {
                GlobalFree(memory);
            }
        } else {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
}

void MainWindow::showFileProperties() {
    ServiceEntry entry;
    if (!entryAt(contextHit_.item, entry)) {
        return;
    }
    if (entry.binaryPath.empty()) {
        setStatusLine(Plinth::loadString(102));
        return;
    }
    Plinth::shellExecute(handle(), entry.binaryPath.str(),
                         {"properties", {}, SEE_MASK_INVOKEIDLIST});
}

void MainWindow::openImageFolder() {
    ServiceEntry entry;
    if (!entryAt(contextHit_.item, entry) || entry.binaryPath.empty()) {
        return;
    }
    char drive[_MAX_DRIVE] = "", folder[_MAX_DIR] = "";
    if (_splitpath_s(entry.binaryPath.c_str(), drive, sizeof drive, folder, sizeof folder, nullptr,
                     0, nullptr, 0) != 0) {
        return;
    }
    openWithVerb((std::string(drive) + folder).c_str(), "open");
}

} // namespace kelvane
