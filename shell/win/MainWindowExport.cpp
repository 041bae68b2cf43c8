// The main window's export command: the service list to a workbook or a
// semicolon-separated file that the user names.
#include "shell/win/MainWindow.h"

#include "export/ServiceExport.h"
#include "framework/TextFormat.h"
#include "framework/win/ShellOpen.h"
#include "framework/win/DispatchingWaits.h"
#include "framework/win/ModuleResources.h"
#include "operations/win/WaitCursor.h"

#include <commdlg.h>

#include <mutex>

namespace kelvane {

namespace {

// The save dialog; empty when the user cancels.
std::string chooseExportFile(HWND owner) {
    char file[1024] = "Services.xls";
    std::string title = Plinth::loadString(163);
    // "|" separates the entries of the filter text; the dialog wants NULs.
    std::string filter = Plinth::loadString(177);
    for (char& c : filter) {
        if (c == '|') {
            c = '\0';
        }
    }
    filter.push_back('\0');
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = "xls";
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_OVERWRITEPROMPT;
    return GetSaveFileNameA(&dialog) ? std::string(file) : std::string();
}

} // namespace

void MainWindow::exportServiceList() {
    const std::string fileName = chooseExportFile(handle());
    if (!fileName.empty()) {
        exportServiceListTo(fileName);
    }
}

void MainWindow::exportServiceListTo(const std::string& fileName) {
    WaitCursor wait;
    const auto text = [](unsigned id) { return Plinth::loadString(id); };
    ExportSheet sheet;
    sheet.columns = exportColumns(text);
    if (!Plinth::enterLockDispatching(refreshLock_)) {
        return;
    }
    {
        std::lock_guard<ServiceEntries::Mutex> guard(entries_.mutex());
        appendExportRows(
            sheet, entries_.entries(), filter_.typeMask, filter_.activeMask,
            [this](const std::string& path) { return detailsOf(SharedText(path)); }, text);
    }
    refreshLock_.leave();

    if (!writeExportFile(sheet, fileName)) {
        setStatusLine(Plinth::formatText(Plinth::loadString(230).c_str(), fileName));
        return;
    }
    setStatusLine(Plinth::formatText(Plinth::loadString(231).c_str(), fileName));
    if (isWorkbookFileName(fileName)) {
        Plinth::shellExecute(handle(), fileName);
    }
}

} // namespace kelvane
