#include "shell/win/HeadlessExport.h"

#include "export/ServiceExport.h"
#include "framework/Exception.h"
#include "framework/TextFormat.h"
#include "framework/win/ModuleResources.h"
#include "inventory/RefreshCycle.h"
#include "inventory/RowFilter.h"
#include "inventory/win/FileDetailsReader.h"
#include "inventory/win/ServiceReader.h"
#include "shell/Settings.h"
#include "shell/win/ServiceDatabaseKey.h"
#include "shell/win/UserFolders.h"

#include <windows.h>

#include <map>

namespace kelvane {

namespace {

// To the error stream the caller gave, else to the console of the parent.
void tellConsole(const std::string& text) {
    const std::string line = text + "\r\n";
    DWORD written = 0;
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error && error != INVALID_HANDLE_VALUE &&
        WriteFile(error, line.data(), static_cast<DWORD>(line.size()), &written, nullptr)) {
        return;
    }
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        HANDLE console = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
        if (console != INVALID_HANDLE_VALUE) {
            WriteFile(console, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(console);
        }
    }
}

// Waits one step for the reader; false once it has added no service for
// headlessReadStallMs (a remote manager that never answers).
class StallWatch {
public:
    explicit StallWatch(ServiceReader& reader) : reader_(reader), lastNews_(GetTickCount()) {}
    bool step() {
        HANDLE done = reader_.doneEvent();
        WaitForSingleObject(done, 100);
        ReaderState& state = reader_.state();
        std::lock_guard<std::recursive_mutex> guard(state.lock);
        if (state.newData || !state.busy) {
            lastNews_ = GetTickCount();
        }
        return GetTickCount() - lastNews_ < headlessReadStallMs;
    }

private:
    ServiceReader& reader_;
    DWORD lastNews_;
};

} // namespace

int runHeadlessExport(AppConfig& config, const std::string& path,
                      const ManagerOpener& openManager) {
    try {
        Settings settings;
        ShownTables tables;
        const std::string folder = config.noPersist ? std::string() : localAppDataFolder();
        const std::string settingsPath = folder.empty() ? std::string() : settingsFilePath(folder);
        if (!settingsPath.empty()) {
            readSettingsFile(settingsPath, settings, tables.baseline);
            tables.baselineValid = tables.baseline.rowCount() > 0;
        }

        // The read runs on the reader's thread, so that one hanging in a
        // remote manager can be left behind instead of keeping the run.
        auto reader = std::make_unique<ServiceReader>(serviceDatabaseKey(), openManager);
        struct LeaveReader {
            std::unique_ptr<ServiceReader>& reader;
            ~LeaveReader() { Plinth::WorkerThread::stopWithin(std::move(reader), 0); }
        } leaveReader{reader};
        reader->setHost(config.computerName);
        reader->startRead();
        ServiceEntries entries;
        NullEntrySink noList;
        StallWatch watch(*reader);
        const RefreshResult read =
            runRefreshCycle(reader->state(), tables, reader->hostInfo().isLocal, entries, noList,
                            [&watch] { return watch.step(); });
        const HostInfo host = reader->hostInfo();
        if (!read.completed) {
            throw Plinth::SDKException(ERROR_TIMEOUT);
        }
        if (!read.errorText.empty()) {
            throw Plinth::UserException(read.errorText);
        }

        // Image files of another computer are not ours to open.
        std::map<std::string, FileDetails> details;
        auto detailsOf = [&](const std::string& binaryPath) -> const FileDetails* {
            if (!host.isLocal || binaryPath.empty()) {
                return nullptr;
            }
            auto found = details.find(binaryPath);
            if (found == details.end()) {
                found = details.emplace(binaryPath, readFileDetails(binaryPath)).first;
            }
            return &found->second;
        };
        const auto text = [](unsigned id) { return Plinth::loadString(id); };
        ExportSheet sheet;
        sheet.columns = exportColumns(text);
        {
            std::lock_guard<ServiceEntries::Mutex> guard(entries.mutex());
            // An inventory: every service and driver the list can show, active and not.
            appendExportRows(sheet, entries.entries(), typeAllServices | typeAllDrivers, 3,
                             detailsOf, text);
        }
        if (!writeExportFile(sheet, path)) {
            throw Plinth::UserException(Plinth::formatText(Plinth::loadString(230).c_str(), path));
        }
        if (!settingsPath.empty()) {
            writeSettingsFile(settingsPath, settings, tables.baseline);
        }
        return 0;
    } catch (const Plinth::Exception& e) {
        tellConsole(e.getMessage());
    } catch (const std::exception& e) {
        tellConsole(e.what());
    }
    return 2;
}

} // namespace kelvane
