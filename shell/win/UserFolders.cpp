#include "shell/win/UserFolders.h"

#include <windows.h>
#include <shlobj.h>

namespace kelvane {

std::string localAppDataFolder() {
    char folder[MAX_PATH] = "";
    return SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, folder))
               ? std::string(folder)
               : std::string();
}

} // namespace kelvane
