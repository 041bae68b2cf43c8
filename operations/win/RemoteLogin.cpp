#include "operations/win/RemoteLogin.h"

#include "framework/ErrorContext.h"
#include "framework/Exception.h"
#include "framework/win/ModuleResources.h"
#include "framework/win/Reports.h"
#include "operations/RemoteHost.h"
#include "operations/win/WaitCursor.h"
#include "resources/ResourceIds.h"

#include <shlobj.h>
#include <winnetwk.h>

namespace kelvane {

namespace {

constexpr unsigned browseTitle = 129;
constexpr UINT browseFlags = BIF_BROWSEFORCOMPUTER | BIF_EDITBOX; // 0x1010
constexpr DWORD userNameSize = 256;

// An item list of the shell, freed through the shell's allocator.
struct ItemList {
    LPITEMIDLIST list = nullptr;
    ~ItemList() { CoTaskMemFree(list); }
};

void connectIpcShare(HWND owner, const ConnectionConfig& connection) {
    std::string share = ipcShareName(connection.computerName);
    Plinth::ErrorContext context("connecting to remote computer", share);
    WaitCursor cursor;
    NETRESOURCEA resource{};
    resource.dwScope = RESOURCE_GLOBALNET;
    resource.dwType = RESOURCETYPE_ANY;
    resource.dwUsage = RESOURCEUSAGE_CONNECTABLE;
    resource.lpRemoteName = &share[0];
    // No user name means the current user with the password the platform
    // holds for them.
    bool asUser = !connection.userName.empty();
    DWORD result =
        WNetAddConnection3A(owner, &resource, asUser ? connection.password.c_str() : nullptr,
                            asUser ? connection.userName.c_str() : nullptr, 0);
    if (result != NO_ERROR) {
        throw Plinth::SDKException(result);
    }
}

std::string currentUserName(bool& answered) {
    char name[userNameSize] = {};
    DWORD size = userNameSize;
    answered = GetUserNameA(name, &size) != FALSE;
    return answered ? name : "";
}

} // namespace

ConnectAsDialog::ConnectAsDialog(const AppConfig& config)
    : ModalDialog(IDD_CONNECT_AS), config_(config) {}

void ConnectAsDialog::prepare() {
    for (int id : {IDC_CONNECT_HOST, IDC_CONNECT_USER, IDC_PASSWORD}) {
        anchor(id, Plinth::ResizeLayout::rightFollowsWidth);
    }
    anchor(IDC_CONNECT_BROWSE,
           Plinth::ResizeLayout::leftFollowsWidth | Plinth::ResizeLayout::rightFollowsWidth);
    for (int id : {IDOK, IDCANCEL}) {
        anchor(id,
               Plinth::ResizeLayout::topFollowsHeight | Plinth::ResizeLayout::bottomFollowsHeight);
    }
    setItemText(IDC_CONNECT_HOST, config_.computerName);
    setItemText(IDC_CONNECT_USER, config_.userName);
    setItemText(IDC_PASSWORD, config_.password);
}

bool ConnectAsDialog::onOk() {
    config_.computerName = itemText(IDC_CONNECT_HOST);
    config_.userName = itemText(IDC_CONNECT_USER);
    config_.password = itemText(IDC_PASSWORD);
    return true;
}

void ConnectAsDialog::onControl(int id, int notification) {
    if (id != IDC_CONNECT_BROWSE || notification != BN_CLICKED) {
        return;
    }
    if (auto picked = browseForComputer(handle())) {
        config_.computerName = *picked;
        setItemText(IDC_CONNECT_HOST, *picked);
    }
}

std::optional<std::string> browseForComputer(HWND owner) {
    ItemList root, picked;
    // Without the network folder the browser starts at the desktop.
    if (FAILED(SHGetSpecialFolderLocation(owner, CSIDL_NETWORK, &root.list))) {
        root.list = nullptr;
    }
    std::string title = Plinth::loadString(browseTitle);
    char displayName[MAX_PATH] = {};
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.pidlRoot = root.list;
    info.pszDisplayName = displayName;
    info.lpszTitle = title.c_str();
    info.ulFlags = browseFlags;
    picked.list = SHBrowseForFolderA(&info);
    if (!picked.list) {
        return std::nullopt;
    }
    return std::string(displayName);
}

void rememberHost(HWND hostField, const std::string& name) {
    if (name.empty()) {
        return;
    }
    // CB_FINDSTRINGEXACT compares whole entries, ignoring case: "srv1" is
    // another computer than "srv10".
    if (SendMessageA(hostField, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(name.c_str())) == CB_ERR) {
        SendMessageA(hostField, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
}

void selectHost(CommandHost& host, const std::string& name) {
    host.config().computerName = name;
    // The refresh takes the host from the field, so the field must show it.
    SetWindowTextA(host.hostField(), name.c_str());
    rememberHost(host.hostField(), name);
    host.writeStatus({});
    host.refreshList();
}

void browseForHost(CommandHost& host) {
    if (auto picked = browseForComputer(host.window())) {
        selectHost(host, *picked);
    }
}

void loginAs(CommandHost& host) {
    if (!host.saveControls()) {
        return;
    }
    AppConfig working = host.config();
    bool answered = false;
    std::string current = working.userName.empty() ? currentUserName(answered) : std::string();
    working.userName = offeredUserName(working.userName, answered, current);

    ConnectAsDialog dialog(working);
    if (dialog.run(host.window()) != IDOK) {
        return;
    }
    const AppConfig& chosen = dialog.config();
    // Name and password stay for the next try; the computer changes only
    // once it has been reached, so the commands keep to the one listed.
    host.config().userName = chosen.userName;
    host.config().password = chosen.password;
    try {
        connectIpcShare(host.window(), chosen);
    } catch (const Plinth::Exception& e) {
        Plinth::showException(e, host.window());
        return;
    }
    host.config() = chosen;
    // The image files' details came from the previous computer.
    host.clearFileDetails();
    host.loadControls();
    host.writeStatus({});
    host.refreshList();
    rememberHost(host.hostField(), host.config().computerName);
}

} // namespace kelvane
