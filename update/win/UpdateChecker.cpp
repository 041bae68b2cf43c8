#include "update/win/UpdateChecker.h"

#include "framework/Exception.h"
#include "framework/win/ShellOpen.h"
#include "framework/TextFormat.h"
#include "framework/win/MessageBoxes.h"
#include "framework/win/ModuleResources.h"
#include "framework/win/UniqueHandle.h"
#include "resources/ProductInfo.h"
#include "update/UpdateOffer.h"
#include "update/win/DescriptionFetch.h"
#include "update/win/UpdateDownload.h"

#include <objbase.h>

#include <exception>

namespace kelvane {

namespace {

const char* const lastCheckValue = "last update check";
const UINT captionUpdateCheck = 149;

// The version the system really has: GetVersionEx reports what the
// program's manifest claims to know, not the system.
std::string thisSystemText() {
    using GetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    auto rtlGetVersion = reinterpret_cast<GetVersion>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
    if (!rtlGetVersion || rtlGetVersion(&version) != 0) {
        return systemTextFor(0, 0, 0);
    }
    return systemTextFor(version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber);
}

std::string todayText() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    Plinth::SystemTime today;
    today.year = now.wYear;
    today.month = now.wMonth;
    today.dayOfWeek = now.wDayOfWeek;
    today.day = now.wDay;
    return Plinth::formatText("%D", today);
}

// The shell's own idea of being offline; a system without it counts as
// offline, so the automatic check stays quiet there.
bool isOffline() {
    Plinth::UniqueModule library(LoadLibraryA("url.dll"));
    if (!library) {
        return true;
    }
    using InetIsOffline = BOOL(WINAPI*)(DWORD);
    auto inetIsOffline = reinterpret_cast<InetIsOffline>(
        reinterpret_cast<void*>(GetProcAddress(library.get(), "InetIsOffline")));
    return !inetIsOffline || inetIsOffline(0);
}

// A message box of this thread owned by the main window answers No, so a
// closing window need not wait for the user.
BOOL CALLBACK answerNo(HWND window, LPARAM) {
    char kind[16] = {};
    GetClassNameA(window, kind, sizeof kind);
    if (std::string(kind) == "#32770") {
        PostMessageA(window, WM_COMMAND, IDNO, 0);
    }
    return TRUE;
}

} // namespace

UpdateCheckerSettings productUpdateSettings() {
    UpdateCheckerSettings settings;
    settings.baseName = "kelvane";
    settings.registryKey = "Software\\Trevolt\\Kelvane";
    settings.descriptionAddress = KELVANE_PAD_ADDRESS;
    settings.currentVersion = KELVANE_VERSION_TEXT;
    settings.agentName = settings.baseName + " " + settings.currentVersion;
    settings.systemText = thisSystemText();
    settings.productPage = KELVANE_WEB_ADDRESS;
    settings.publishers = {KELVANE_PUBLISHER_CERTIFICATES};
    return settings;
}

UpdateChecker::UpdateChecker(UpdateHost& host, UpdateCheckerSettings settings)
    : WorkerThread("UpdateChecker", nullptr), host_(host), settings_(std::move(settings)) {}

UpdateChecker::~UpdateChecker() {
    // The owner should have shut the check down while it could still serve
    // it; a thread left running here would outlive this object.
    shutdown();
}

void UpdateChecker::startAutomaticCheck() {
    rememberDay_ = !host_.noPersist();
    if (!host_.noUpdate() && !started_) {
        started_ = true;
        start();
    }
}

void UpdateChecker::shutdown() {
    stop(NoJoin);
    // A server that accepted and never answers would otherwise hold the
    // thread until the library's time-out.
    transfers_.cancel();
    HANDLE thread = handle();
    if (!started_ || threadId() == GetCurrentThreadId()) {
        return;
    }
    // Until the body ends: answer its boxes and take the messages it sends
    // to our windows (showing or hiding the main window), without taking a
    // quit message meant for a loop further out.
    while (WaitForSingleObject(thread, 0) == WAIT_TIMEOUT) {
        EnumThreadWindows(threadId(), answerNo, 0);
        MsgWaitForMultipleObjects(1, &thread, FALSE, 50, QS_SENDMESSAGE);
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    }
}

int32_t UpdateChecker::init() {
    // The shell's "open" verb may hand the address to a shell extension.
    comReady_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    return 0;
}

int32_t UpdateChecker::run() {
    HttpCancel::Scope cancellable(transfers_);
    runAutomaticCheck();
    return 0;
}

int32_t UpdateChecker::exit(int32_t result) {
    if (comReady_) {
        CoUninitialize();
    }
    return result;
}

bool UpdateChecker::firstCheckToday() const {
    Plinth::UniqueKey key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, settings_.registryKey.c_str(), key.put()) !=
        ERROR_SUCCESS) {
        return true;
    }
    std::string today = todayText();
    char stored[128] = {};
    DWORD type = 0, size = sizeof stored - 1;
    bool read = RegQueryValueExA(key.get(), lastCheckValue, nullptr, &type,
                                 reinterpret_cast<BYTE*>(stored), &size) == ERROR_SUCCESS &&
                type == REG_SZ;
    // Written before the description is fetched, so a check that fails is
    // not repeated on the same day.
    LONG written = RegSetValueExA(key.get(), lastCheckValue, 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(today.c_str()),
                                  static_cast<DWORD>(today.size() + 1));
    if (written != ERROR_SUCCESS) {
        throw Plinth::SDKException(static_cast<uint32_t>(written));
    }
    return !(read && std::string(stored) == today);
}

void UpdateChecker::showMessages(const PadInfo& info) const {
    std::string messages = selectMessages(info, settings_.currentVersion, settings_.systemText);
    if (!messages.empty()) {
        Plinth::showMessageBox(host_.ownerWindow(), messages, Plinth::loadString(188),
                               MB_OK | MB_ICONINFORMATION);
    }
}

int UpdateChecker::ask(const std::string& text, UINT style) const {
    return Plinth::showMessageBox(host_.ownerWindow(), text, Plinth::loadString(captionUpdateCheck),
                                  style);
}

void UpdateChecker::runAutomaticCheck() {
    try {
        if (rememberDay_ && !firstCheckToday()) {
            return;
        }
        if (isOffline()) {
            return;
        }
        PadInfo info;
        if (!readDescription(info, settings_.descriptionAddress, settings_.agentName,
                             settings_.systemText) ||
            stopRequests()) {
            return;
        }
        showMessages(info);
        if (isUpToDate(info, settings_.currentVersion) || stopRequests()) {
            return;
        }
        UpdateOffer offer = chooseOffer(info, settings_.productPage);
        std::string text = newVersionText(Plinth::loadString(147), info) + "\n\n";
        if (offer.kind == UpdateOffer::Kind::RunSetup) {
            text += Plinth::formatText(Plinth::loadString(148).c_str(), offer.address);
            if (ask(text, MB_YESNO | MB_ICONQUESTION) != IDYES || stopRequests()) {
                return;
            }
            // The window comes back whenever no setup starts, also when the
            // download fails: otherwise the program would run on unseen.
            struct ShowAgain {
                UpdateHost& host;
                ~ShowAgain() { host.showMainWindow(); }
            } showAgain{host_};
            host_.hideMainWindow();
            downloadAndRunSetup(*this, info);
        } else {
            text += Plinth::formatText(Plinth::loadString(162).c_str(), offer.address);
            if (ask(text, MB_YESNO | MB_ICONQUESTION) == IDYES && !stopRequests()) {
                openWebPage(host_.ownerWindow(), offer.address);
            }
        }
    } catch (const Plinth::Exception&) {
        // A background check has nobody to report to.
    } catch (const std::exception&) {
    }
}

void UpdateChecker::checkVersionCommand() {
    PadInfo info;
    if (!readDescription(info, settings_.descriptionAddress, settings_.agentName, "")) {
        ask(Plinth::loadString(183), MB_OK | MB_ICONWARNING);
        return;
    }
    showMessages(info);
    std::string text =
        versionReportText(Plinth::loadString(184), settings_.currentVersion, info) + "\n\n";
    if (isUpToDate(info, settings_.currentVersion)) {
        ask(text + Plinth::loadString(185), MB_OK | MB_ICONINFORMATION);
        return;
    }
    // Without a web download there is no setup to run: offer the page, as
    // the automatic check does, instead of a setup from nowhere.
    UpdateOffer offer = chooseOffer(info, settings_.productPage);
    if (offer.kind == UpdateOffer::Kind::RunSetup) {
        text += Plinth::formatText(Plinth::loadString(148).c_str(), offer.address);
        if (ask(text, MB_YESNO | MB_ICONQUESTION) == IDYES) {
            downloadAndRunSetup(*this, info);
        }
    } else {
        text += Plinth::formatText(Plinth::loadString(162).c_str(), offer.address);
        if (ask(text, MB_YESNO | MB_ICONQUESTION) == IDYES) {
            openWebPage(host_.ownerWindow(), offer.address);
        }
    }
}

void openWebPage(HWND owner, const std::string& address) {
    if (!isFollowableDownloadUrl(address)) {
        return;
    }
    Plinth::shellExecute(owner, address);
}

} // namespace kelvane
