#include "update/win/UpdateDownload.h"

#include "framework/Exception.h"
#include "framework/TextFormat.h"
#include "framework/win/MessageBoxes.h"
#include "framework/win/ModuleResources.h"
#include "framework/win/Reports.h"
#include "operations/win/WaitCursor.h"
#include "resources/ResourceIds.h"
#include "update/SetupSource.h"
#include "update/win/HttpGet.h"
#include "update/win/PrivateFolder.h"
#include "update/win/SignatureCheck.h"
#include "update/win/UpdateChecker.h"

#include <algorithm>
#include <fstream>

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

DownloadedSetup downloadSetup(const std::string& address, const std::string& agent,
                              HWND progressBar) {
    std::string name = setupFileNameFor(address);
    if (name.empty()) {
        return {};
    }
    std::string folder = createPrivateFolder(temporaryFolder(), setupFolderPrefix);
    if (folder.empty()) {
        return {};
    }
    DownloadedSetup setup(folder, name);
    HttpRequest request;
    request.agent = agent;
    request.address = address;
    request.referrer = agent + " download";
    request.progressBar = progressBar;
    request.maxBytes = maxSetupBytes;
    request.secureOnly = true;
    bool complete = httpGet(
        request, [&setup](const char* data, std::size_t size) { return setup.write(data, size); });
    if (!complete || !setup.hold()) {
        return {};
    }
    return setup;
}

namespace {

void tellRefused(HWND owner, const std::string& name, const SetupSignature& signature) {
    std::string text =
        signature.verdict == SetupSignature::Verdict::OtherSigner
            ? Plinth::formatText(Plinth::loadString(IDS_SETUP_OTHER_SIGNER).c_str(), name,
                                 signature.signerName)
            : Plinth::formatText(Plinth::loadString(IDS_UNSIGNED_SETUP).c_str(), name);
    Plinth::showMessageBox(owner, text, Plinth::loadString(149), MB_OK | MB_ICONWARNING);
}

} // namespace

bool downloadAndStartSetup(const UpdateChecker& checker, const PadInfo& info) {
    WaitCursor wait;
    HWND owner = checker.host().ownerWindow();
    DownloadedSetup setup;
    {
        DownloadDialog dialog(owner, info.downloadUrl);
        setup = downloadSetup(info.downloadUrl, checker.settings().agentName, dialog.progressBar());
    }
    if (!setup.held()) {
        return false;
    }
    // Fetched from the network and run with our rights: only our
    // publisher's setup may start.
    SetupSignature signature =
        checkSetupSignature(setup.file(), setup.path(), checker.settings().publishers);
    if (signature.verdict != SetupSignature::Verdict::Trusted) {
        setup = DownloadedSetup(); // deleted with its folder before anybody is asked anything
        tellRefused(owner, setupFileNameFor(info.downloadUrl), signature);
        return false;
    }
    // Only a setup that passed may be named to the post-update run, which
    // deletes what the file names.
    const std::string handOver = handOverFilePath(checker.settings().baseName);
    std::ofstream(handOver, std::ios::binary | std::ios::trunc) << setup.path() << '\n';
    if (!setup.start(owner)) {
        DeleteFileA(handOver.c_str());
        return false;
    }
    return true;
}

void downloadAndRunSetup(const UpdateChecker& checker, const PadInfo& info) {
    if (downloadAndStartSetup(checker, info)) {
        // The setup replaces this program's file; it must not be running.
        ExitProcess(0);
    }
}

} // namespace kelvane
