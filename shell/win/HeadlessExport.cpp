#include "shell/win/HeadlessExport.h"

#include "export/ServiceExport.h"
#include "framework/Exception.h"
#include "framework/TextFormat.h"
#include "framework/win/ModuleResources.h"
#include "inventory/RefreshCycle.h"
#include "inventory/RowFilter.h"
#include "inventory/win/FileDetailsReader.h"
#include "inventory/win/ServiceRead.h"
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

} // namespace

int runHeadlessExport(AppConfig& config, const std::string& path) {
    try {
        Settings settings;
        ShownTables tables;
        const std::string folder = config.noPersist ? std::string() : localAppDataFolder();
        const std::string settingsPath = folder.empty() ? std::string() : settingsFilePath(folder);
        if (!settingsPath.empty()) {
            readSettingsFile(settingsPath, settings, tables.baseline);
            tables.baselineValid = tables.baseline.rowCount() > 0;
        }

        ReaderState reader;
        HostInfo host;
        host.host = config.computerName;
        readComputer(host, serviceDatabaseKey(), reader);
        if (!reader.errorText.empty()) {
            throw Plinth::UserException(reader.errorText);
        }
        ServiceEntries entries;
        NullEntrySink noList;
        runRefreshCycle(reader, tables, host.isLocal, entries, noList, [] { return true; });

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
