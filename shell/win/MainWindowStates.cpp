// The main window's side of the state watcher: the services it follows after
// each refresh, and the states it reports, shown by changing single rows.
#include "shell/win/MainWindow.h"

#include "framework/win/ModuleResources.h"
#include "inventory/ServiceColumns.h"
#include "shell/win/RefreshLockScope.h"

#include <commctrl.h>

namespace kelvane {

namespace {

// How long a command's end waits for the watcher to close what it holds.
constexpr DWORD letGoBoundMs = 2000;

// The list columns whose texts a state change alters.
bool sortedByState(int sortColumn) {
    return sortColumn == listStatusColumn || sortColumn == listPidColumn ||
           sortColumn == listChangesColumn;
}

} // namespace

void MainWindow::startStateWatcher() {
    stateTexts_ = RowTexts::load([](unsigned id) { return Plinth::loadString(id); });
    StateWatcher::Setup setup;
    setup.window = handle();
    setup.openManager = openManager_;
    setup.notifier = statusNotifier_;
    stateWatcher_ = std::make_unique<StateWatcher>(std::move(setup));
}

void MainWindow::followServices() {
    std::vector<StateWatcher::Followed> services;
    {
        ServiceTable::Lock guard = tables_.shown.lock();
        services.reserve(tables_.shown.rowCount());
        for (const auto& [key, row] : tables_.shown.rows()) {
            services.push_back({row.cell(ServiceColumns::serviceName).text.str(),
                                (row.cell(ServiceColumns::type).intValue() & 0x30) == 0});
        }
    }
    const HostInfo host = reader_->hostInfo();
    stateWatcher_->follow(host.host, host.isLocal, std::move(services));
    if (statesWaiting_) {
        statesWaiting_ = false;
        PostMessageA(handle(), StateWatcher::changesMessage, 0, 0);
    }
}

// A command may have deleted what it acted on: the services are let go
// before the list is read again, so no handle of the watcher keeps them.
void MainWindow::refreshList() {
    letGoOfSelection();
    refresh();
}

void MainWindow::letGoOfSelection() {
    std::vector<std::string> names;
    for (const ServiceEntry& entry : selectedEntries()) {
        names.push_back(entry.serviceName.str());
    }
    if (!names.empty()) {
        stateWatcher_->letGo(std::move(names), letGoBoundMs);
    }
}

void MainWindow::showStateChanges() {
    // A refresh under this message reads the states itself and would have
    // its difference spoilt; what came meanwhile is shown after it.
    if (refreshing_) {
        statesWaiting_ = true;
        return;
    }
    const std::vector<ServiceState> changes = stateWatcher_->takeChanges();
    if (changes.empty()) {
        return;
    }
    bool reorder = false, selected = false;
    {
        RefreshLockScope lock(refreshLock_);
        if (!lock) {
            return;
        }
        const ServiceTable* baseline =
            reader_->hostInfo().isLocal && tables_.baselineValid ? &tables_.baseline : nullptr;
        for (const ServiceState& change : changes) {
            if (std::optional<StateUpdate> update = applyServiceState(
                    reader_->state(), tables_, baseline, entries_, stateTexts_, change)) {
                showEntryState(update->number, update->entry, reorder, selected);
            }
        }
    }
    if (reorder) {
        list_.sortKeepingView();
    }
    if (selected) {
        showSelectedService();
    }
}

void MainWindow::showEntryState(int number, const ServiceEntry& entry, bool& reorder,
                                bool& selected) {
    const int index = list_.indexOf(number);
    const bool wasSelected =
        index >= 0 && SendMessageA(list_.handle(), LVM_GETITEMSTATE, index, LVIS_SELECTED) != 0;
    switch (itemChangeFor(passesFilter(entry, filter_, detailsOf(entry.binaryPath)), index >= 0)) {
    case ItemChange::update:
        list_.updateItem(number, entry, itemTexts(entry), itemImage(entry));
        reorder = reorder || sortedByState(list_.sortColumn());
        selected = selected || wasSelected;
        break;
    case ItemChange::add:
        list_.addItem(number, entry, itemTexts(entry), itemImage(entry));
        reorder = true;
        break;
    case ItemChange::remove:
        list_.removeItem(number);
        break;
    case ItemChange::none:
        break;
    }
}

} // namespace kelvane
