#include "shell/win/AdminRights.h"

#include "framework/win/UiLocale.h"
#include "framework/win/ShellOpen.h"
#include "framework/win/UniqueHandle.h"
#include "resources/ResourceIds.h"

#include <commctrl.h>

namespace kelvane {

namespace {

bool nt6OrLater() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const bool known = GetVersionExA(&version) != 0;
#pragma GCC diagnostic pop
    return known && version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 6;
}

std::string ownProgramPath() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return length && length < MAX_PATH ? std::string(path, length) : std::string();
}

} // namespace

bool hasAdministrativeRights() {
    TokenAnswer answer;
    answer.nt6OrLater = nt6OrLater();
    if (answer.nt6OrLater) {
        Plinth::UniqueHandleObject token;
        answer.tokenOpened = OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put()) != 0;
        if (answer.tokenOpened) {
            TOKEN_ELEVATION elevation{};
            DWORD size = 0;
            answer.queried = GetTokenInformation(token.get(), TokenElevation, &elevation,
                                                 sizeof elevation, &size) != 0;
            answer.isElevated = elevation.TokenIsElevated;
        }
    }
    return adminRightsFrom(answer);
}

void updateAdminControls(HWND dialog, bool adminRights, bool isLocal) {
    AdminControlPlan plan = planAdminControls(adminRights, isLocal);
    if (plan.elevation) {
        SendDlgItemMessageA(dialog, IDC_ADMIN, BCM_SETSHIELD, 0, TRUE);
    }
    for (int id : plan.hiddenButtons) {
        ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
    }
    for (int id : plan.shownButtons) {
        ShowWindow(GetDlgItem(dialog, id), SW_SHOW);
    }
}

bool startElevated(const std::string& program, const std::string& parameters, HWND owner) {
    // A refused relaunch leaves the program as it was, without the shell's box.
    return Plinth::shellExecute(owner, program, {"runas", parameters, SEE_MASK_FLAG_NO_UI});
}

bool relaunchElevated(HWND owner) {
    // The running file itself, not whichever "kelvane.exe" the shell's search
    // would find first.
    const std::string program = ownProgramPath();
    if (program.empty() || !startElevated(program, Plinth::uiLocale().switchText, owner)) {
        return false;
    }
    PostQuitMessage(0);
    return true;
}

} // namespace kelvane
