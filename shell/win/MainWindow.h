#pragma once
// The program's working window: the service list with its filter controls,
// the action buttons and the status line. It owns the service entries, the
// tables of the refresh and the five worker threads (reader, icon cache,
// registry watcher, update check, state watcher).
#include "framework/win/ColorButton.h"
#include "framework/win/CriticalSection.h"
#include "framework/win/Dialog.h"
#include "framework/win/UniqueHandle.h"
#include "inventory/RefreshCycle.h"
#include "inventory/RowFilter.h"
#include "inventory/win/IconUpdater.h"
#include "inventory/win/RegistryWatcher.h"
#include "inventory/win/ServiceReader.h"
#include "inventory/win/StateWatcher.h"
#include "operations/BusyCounter.h"
#include "operations/win/CommandHost.h"
#include "resources/ResourceIds.h"
#include "shell/AppConfig.h"
#include "shell/Settings.h"
#include "shell/win/ServiceListView.h"
#include "update/win/UpdateChecker.h"
#include "update/win/UpdateHost.h"

#include <memory>
#include <string>

namespace kelvane {

class MainWindow : public Plinth::Dialog,
                   private EntrySink,
                   private UpdateHost,
                   private CommandHost {
public:
    // Works on a copy of config; OK (command 1) assigns the copy back.
    // openManager: how the reader opens the manager; empty for the
    // platform's (tests hand in one that fails or hangs).
    explicit MainWindow(AppConfig& config, ManagerOpener openManager = nullptr);
    ~MainWindow() override;
    // How the state watcher asks for notifications, before create(): tests
    // hand in a manager that refuses them or reports what Wine's cannot.
    void setStatusNotifier(StatusNotifier notifier) { statusNotifier_ = std::move(notifier); }

    // Reads the services of the computer in the host field into the list. A
    // refresh asked for while one runs (a change signalled meanwhile) runs
    // once more when that one has ended, instead of inside it.
    void refresh();
    // Offers every entry to the filter again, keeping the selected services,
    // the focused one and the stretch of the list in view, by name.
    void rebuildList(bool iconPass);

    // The export command after its save dialog: writes the entries that
    // pass the type and state filter; failures go to the status line.
    void exportServiceListTo(const std::string& fileName);

    void setStatusLine(const std::string& text);
    std::string statusLine() const;

    ServiceListView& list() { return list_; }
    const FilterSettings& filterSettings() const { return filter_; }
    const ListColouring& colouring() const { return colouring_; }
    ServiceEntries& entries() { return entries_; }
    BusyCounter& busyCounter() override { return busy_; }
    const AppConfig& workingConfig() const { return working_; }
    // The host the list shows, as classified by the last refresh.
    HostInfo hostInfo() { return reader_->hostInfo(); }
    // The computer the commands act on: the one the list was read from,
    // whatever the host field holds meanwhile.
    std::string commandHost() const { return reader_->hostInfo().host; }
    // The entry of a list item, copied under the entries' lock; false when
    // the item has none.
    bool entryAt(int index, ServiceEntry& entry);
    // Where the settings file is; empty with "nopersist".
    const std::string& settingsPath() const { return settingsPath_; }
    const ShownTables& tables() const { return tables_; }
    IconUpdater& icons() { return *icons_; }
    StateWatcher& stateWatcher() { return *stateWatcher_; }

protected:
    bool onInit() override;
    bool onCommand(int id, int code, HWND control) override;
    bool onNotify(NMHDR& header, LRESULT& result) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool translateKey(MSG& message) override;
    void onDestroy() override;
    void onDpiChanged(int oldDpi, int newDpi) override;

private:
    // Construction steps.
    void build();
    void attachMenu();
    void makeButtonsAndTooltips();
    void setIconsAndAccelerators();
    void registerAnchorsAndEnlarge();
    void prepareList();
    void extendSystemMenu();
    void fillFilterControls();
    void readStoredSettings(const std::string& localAppData);
    void startIconCache(const std::string& localAppData);
    void applyInitialPlacement();

    // Data exchange between the working copy and the controls.
    bool exchange(bool save);
    void putFirstInCombo(int comboId, const std::string& text, std::set<std::string>* history);
    void close(int result);
    // Stores the placement, histories and baseline unless "nopersist".
    void saveSession();
    void relaunchAsAdministrator();

    // Filters.
    void filterBoxesChanged();
    void searchTextChanged(const std::string& text);
    bool isChecked(int id) const;

    // How the user arranged the list (MainWindowView.cpp).
    void showView(const ViewState& view);
    ViewState currentView() const;
    void resetView();
    void showFilterBoxes(const FilterBoxes& boxes);
    FilterBoxes filterBoxes() const;
    // The filter settings for the boxes; each combo box is usable while its
    // check box is checked.
    void takeFilterBoxes(const FilterBoxes& boxes);
    void makeBoldFont(HFONT font);

    // Selection, buttons and the list's notifications.
    void selectionChanged();
    // Buttons and icon for the selected service, the status line untouched.
    void showSelectedService();
    void updateActionButtons();
    void showServiceIcon(int image);
    bool selectedEntry(ServiceEntry& entry);
    LRESULT listNotification(NMHDR& header);
    void showContextMenu(POINT screenPoint, int item, int column);
    void contextMenuAtCursor();
    void contextMenuFromKeyboard();

    // Commands.
    void showAbout();
    void showColorLegend();
    void copyCellToClipboard();
    void showFileProperties();
    void openImageFolder();
    void toggleColouring();
    void runTaskManager();
    void openWithVerb(const char* target, const char* verb);
    void exportServiceList();

    // What the list shows of an entry.
    ListItemTexts itemTexts(const ServiceEntry& entry);
    int itemImage(const ServiceEntry& entry);
    // The details known of an image file, or nullptr; valid until the next call.
    const FileDetails* detailsOf(const SharedText& binaryPath);
    void refreshOnce();
    bool rebuildItems(); // false when the application is quitting
    // The reader's error, unless the status line already says it.
    void addStatusLineOnce(const std::string& line);

    // The state watcher (MainWindowStates.cpp): made in build, told the
    // services after each refresh; its reports change single rows in place.
    void startStateWatcher();
    void followServices();
    void letGoOfSelection();
    void showStateChanges();
    void showEntryState(int number, const ServiceEntry& entry, bool& reorder, bool& selected);

    // EntrySink: the refresh changes the list through these.
    void entryAdded(int number, const ServiceEntry& entry) override;
    void entryChanged(int number, const ServiceEntry& entry) override;
    void entryRemoved(int number, const ServiceEntry& entry) override;
    void batchBegins() override;
    void batchEnds() override;

    // CommandHost: the service operations' view of the window.
    std::string hostName() const override { return commandHost(); }
    bool hostIsLocal() const override { return reader_->hostInfo().isLocal; }
    std::vector<ServiceEntry> selectedEntries() const override;
    void writeStatus(const std::string& text) override { setStatusLine(text); }
    void refreshList() override;
    HWND window() const override { return handle(); }
    AppConfig& config() override { return working_; }
    bool saveControls() override { return exchange(true); }
    void loadControls() override { exchange(false); }
    void clearFileDetails() override { icons_->forgetDetails(); }
    HWND hostField() const override { return item(IDC_HOST); }
    void editEntryAtSelectionMark();
    void showAdminControls();

    // UpdateHost: the update check's view of the window.
    HWND ownerWindow() const override { return handle(); }
    bool noPersist() const override { return working_.noPersist; }
    bool noUpdate() const override { return working_.noUpdate; }
    void hideMainWindow() override { ShowWindow(handle(), SW_HIDE); }
    void showMainWindow() override { ShowWindow(handle(), SW_SHOW); }

    AppConfig& config_;
    AppConfig working_;
    ManagerOpener openManager_;
    HWND formerThreadMainWindow_ = nullptr;
    Settings settings_;
    std::string settingsPath_;

    ServiceListView list_;
    Plinth::ColorButton buttons_[9];
    HWND tooltip_ = nullptr;
    HACCEL accelerators_ = nullptr;
    Plinth::UniqueFont boldFont_;
    Plinth::UniqueIcon serviceIcon_;
    Plinth::UniqueIcon bigIcon_;
    Plinth::UniqueIcon smallIcon_;
    Plinth::UniqueMenu menu_;

    FilterSettings filter_;
    ListColouring colouring_;
    bool adminRights_ = true;
    ChangeWords changeWords_;

    // Held by the refresh, the rebuild and each icon pass.
    Plinth::CriticalSection refreshLock_;
    ServiceEntries entries_;
    ShownTables tables_;
    std::unique_ptr<ServiceReader> reader_;
    std::unique_ptr<IconUpdater> icons_;
    std::unique_ptr<RegistryWatcher> watcher_;
    UpdateChecker updateChecker_{*this};
    StatusNotifier statusNotifier_;
    std::unique_ptr<StateWatcher> stateWatcher_;
    RowTexts stateTexts_;
    bool statesWaiting_ = false; // reported during a refresh, shown after it
    BusyCounter busy_;
    bool ready_ = false; // built whole; until then messages get the defaults
    bool refreshing_ = false;
    bool refreshAgain_ = false;
    // The list's own selection changes while it is rebuilt are not the user's.
    bool restoringSelection_ = false;
    FileDetails lookedUp_;

    struct ContextHit {
        HWND list = nullptr;
        int item = -1;
        int column = -1;
    } contextHit_;
};

} // namespace kelvane
