#include "update/win/UpdateDownload.h"

#include "framework/Exception.h"
#include "framework/win/ShellOpen.h"
#include "framework/TextFormat.h"
#include "framework/win/MessageBoxes.h"
#include "framework/win/ModuleResources.h"
#include "framework/win/Reports.h"
#include "operations/win/WaitCursor.h"
#include "resources/ResourceIds.h"
#include "update/UpdateOffer.h"
#include "update/win/HttpGet.h"
#include "update/win/SignatureCheck.h"
#include "update/win/UpdateChecker.h"

#include <wininet.h>

#include <algorithm>
#include <fstream>
#include <vector>

namespace kelvane {

namespace {

// Centred over the owner while it is seen, else over the work area, and
// never partly off the screen.
void placeOverOwner(HWND dialog) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    bool ownerShown = owner && IsWindowVisible(owner) && !IsIconic(owner);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(ownerShown ? owner : dialog, MONITOR_DEFAULTTOPRIMARY),
                    &monitor);
    RECT area = monitor.rcWork;
    RECT reference = area;
    if (ownerShown) {
        GetWindowRect(owner, &reference);
    }
    RECT box;
    GetWindowRect(dialog, &box);
    LONG width = box.right - box.left, height = box.bottom - box.top;
    LONG x = reference.left + (reference.right - reference.left - width) / 2;
    LONG y = reference.top + (reference.bottom - reference.top - height) / 2;
    x = std::max(area.left, std::min(x, area.right - width));
    y = std::max(area.top, std::min(y, area.bottom - height));
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK downloadDialogProcedure(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) {
        return FALSE;
    }
    Plinth::guardCall([dialog] { placeOverOwner(dialog); }, dialog);
    return TRUE;
}

} // namespace

DownloadDialog::DownloadDialog(HWND owner, const std::string& address) {
    auto layout = static_cast<const DLGTEMPLATE*>(
        Plinth::loadLocalisedResource(RT_DIALOG, MAKEINTRESOURCEA(IDD_UPDATE_DOWNLOAD)));
    if (!layout) {
        throw Plinth::LWE(ERROR_RESOURCE_NAME_NOT_FOUND);
    }
    window_.reset(CreateDialogIndirectParamA(Plinth::resourceModule(), layout, owner,
                                             downloadDialogProcedure, 0));
    if (!window_) {
        throw Plinth::LWE();
    }
    SetDlgItemTextA(window_.get(), IDC_DOWNLOAD_ADDRESS, address.c_str());
    ShowWindow(window_.get(), SW_SHOWNORMAL);
    UpdateWindow(window_.get());
}

HWND DownloadDialog::progressBar() const {
    return GetDlgItem(window_.get(), IDC_DOWNLOAD_PROGRESS);
}

std::string temporaryFolder() {
    char buffer[MAX_PATH] = {};
    DWORD length = GetTempPathA(MAX_PATH, buffer);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

std::string handOverFilePath(const std::string& baseName) {
    return temporaryFolder() + baseName + ".tmp";
}

std::string downloadSetup(const std::string& address, const std::string& agent, HWND progressBar) {
    if (!isFollowableDownloadUrl(address)) {
        return {};
    }
    // The query and fragment are asked for apart, so they never become part
    // of the file name.
    std::vector<char> path(address.size() + 1), extra(address.size() + 1);
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof parts;
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = static_cast<DWORD>(path.size());
    parts.lpszExtraInfo = extra.data();
    parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
    if (!InternetCrackUrlA(address.c_str(), 0, 0, &parts)) {
        return {};
    }
    std::string name = setupFileName(std::string(path.data(), parts.dwUrlPathLength));
    std::string folder = temporaryFolder();
    if (name.empty() || folder.empty()) {
        return {};
    }
    std::string local = folder + name;
    std::ofstream file(local, std::ios::binary | std::ios::trunc);
    if (!file) {
        return {};
    }
    HttpRequest request;
    request.agent = agent;
    request.address = address;
    request.referrer = agent + " download";
    request.progressBar = progressBar;
    request.maxBytes = maxSetupBytes;
    bool complete = httpGet(request, [&file](const char* data, std::size_t size) {
        file.write(data, static_cast<std::streamsize>(size));
        return static_cast<bool>(file);
    });
    file.close();
    return complete && !file.fail() ? local : std::string();
}

void downloadAndRunSetup(const UpdateChecker& checker, const PadInfo& info) {
    WaitCursor wait;
    HWND owner = checker.host().ownerWindow();
    std::string path;
    {
        DownloadDialog dialog(owner, info.downloadUrl);
        path = downloadSetup(info.downloadUrl, checker.settings().agentName, dialog.progressBar());
    }
    if (path.empty()) {
        return;
    }
    std::ofstream(handOverFilePath(checker.settings().baseName), std::ios::binary) << path << '\n';
    // Fetched over the network and run with our rights: only a setup whose
    // signature holds may start.
    if (!hasValidSignature(path)) {
        Plinth::showMessageBox(
            owner, Plinth::formatText(Plinth::loadString(IDS_UNSIGNED_SETUP).c_str(), path),
            Plinth::loadString(149), MB_OK | MB_ICONWARNING);
        return;
    }
    if (Plinth::shellExecute(owner, path)) {
        // The setup replaces this program's file; it must not be running.
        ExitProcess(0);
    }
}

} // namespace kelvane
