#include "shell/win/Installation.h"

#include "framework/ComError.h"
#include "framework/win/MessageBoxes.h"
#include "framework/win/ModuleResources.h"
#include "framework/win/Reports.h"
#include "framework/win/UniqueHandle.h"
#include "shell/InstallationPlan.h"
#include "shell/win/StartTargets.h"
#include "shell/win/TrayWindow.h"

#include <objbase.h>
#include <shlobj.h>

namespace kelvane {

namespace {

template <typename T> struct ComPointer {
    T* pointer = nullptr;
    ~ComPointer() {
        if (pointer) {
            pointer->Release();
        }
    }
    T* operator->() const { return pointer; }
};

struct ComScope {
    ComScope() { CoInitialize(nullptr); }
    ~ComScope() { CoUninitialize(); }
};

void check(HRESULT result) {
    if (FAILED(result)) {
        throw Plinth::ComError(result);
    }
}

std::wstring wide(const std::string& text) {
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring result(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, result.data(), length);
    result.resize(result.size() - 1);
    return result;
}

struct Shortcut {
    std::string target;
    std::string arguments;        // none when empty
    std::string workingDirectory; // none when empty
};

// The shell's result when the link cannot be saved at linkPath.
HRESULT saveShortcut(const Shortcut& shortcut, const std::string& linkPath) {
    ComScope com;
    ComPointer<IShellLinkA> link;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, reinterpret_cast<void**>(&link.pointer));
    if (FAILED(result)) {
        return result;
    }
    link->SetPath(shortcut.target.c_str());
    if (!shortcut.arguments.empty()) {
        link->SetArguments(shortcut.arguments.c_str());
    }
    if (!shortcut.workingDirectory.empty()) {
        link->SetWorkingDirectory(shortcut.workingDirectory.c_str());
    }
    ComPointer<IPersistFile> file;
    result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.pointer));
    if (FAILED(result)) {
        return result;
    }
    return file->Save(wide(linkPath).c_str(), TRUE);
}

// Into the first folder that takes it; ComError with the second folder's
// result when neither does.
void makeShortcut(const Shortcut& shortcut, const std::string& product, int firstFolder,
                  int secondFolder) {
    HRESULT result = E_FAIL;
    for (int folderId : {firstFolder, secondFolder}) {
        std::string folder = specialFolder(folderId);
        if (folder.empty()) {
            continue;
        }
        result = saveShortcut(shortcut, shortcutPath(folder, product));
        if (SUCCEEDED(result)) {
            return;
        }
    }
    check(result);
}

void writeRegistration(const std::string& product, const std::string& program) {
    Plinth::UniqueKey key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, uninstallKeyPath(product).c_str(), 0, nullptr, 0,
                        KEY_WRITE, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        return;
    }
    for (const auto& [name, data] : registrationValues(product, program)) {
        // With the terminating zero, as the registry's readers expect of a
        // string value.
        RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>(data.size() + 1));
    }
}

void startTrayInstance(const std::string& program, int showCommand) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION process{};
    std::string line = trayCommandLine(program);
    if (CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

void deleteShortcut(int folderId, const std::string& product) {
    std::string folder = specialFolder(folderId);
    if (!folder.empty()) {
        DeleteFileA(shortcutPath(folder, product).c_str());
    }
}

std::string ownProgramPath() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return length && length < MAX_PATH ? std::string(path, length) : std::string();
}

} // namespace

std::string specialFolder(int folderId) {
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, folderId, &items)) || !items) {
        return {};
    }
    char path[MAX_PATH] = {};
    BOOL found = SHGetPathFromIDListA(items, path);
    CoTaskMemFree(items);
    return found ? std::string(path) : std::string();
}

void install(const std::string& product, const std::string& program, int showCommand) {
    writeRegistration(product, program);
    makeShortcut({program, "", ""}, product, CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS);
    makeShortcut({program, "-tray", programFolder(program)}, product, CSIDL_COMMON_STARTUP,
                 CSIDL_STARTUP);
    startTrayInstance(program, showCommand);
}

void removeInstalled(const std::string& product) {
    closeAllTrayInstances();
    deleteShortcut(CSIDL_STARTUP, product);
    deleteShortcut(CSIDL_COMMON_STARTUP, product);
    deleteShortcut(CSIDL_PROGRAMS, product);
    deleteShortcut(CSIDL_COMMON_PROGRAMS, product);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, uninstallKeyPath(product).c_str());
}

bool uninstall(const std::string& product, const std::string& program) {
    const std::string caption = Plinth::loadString(103);
    if (Plinth::showMessageBox(nullptr, Plinth::loadString(104), caption,
                               MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return false;
    }
    removeInstalled(product);
    const std::string folder = programFolder(program);
    MoveFileExA(program.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExA(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    DeleteFileA(pathInFolder(folder, helpFileName).c_str());
    Plinth::showMessageBox(nullptr, Plinth::loadString(105), caption, MB_OK | MB_ICONINFORMATION);
    return true;
}

int installProgram(int showCommand) {
    Plinth::guardCall([&] { install(productName, ownProgramPath(), showCommand); });
    return 0;
}

int removeInstallation() {
    removeInstalled(productName);
    return 0;
}

int uninstallProgram() {
    Plinth::guardCall([] { uninstall(productName, ownProgramPath()); });
    return 0;
}

} // namespace kelvane
