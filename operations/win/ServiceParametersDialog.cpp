#include "operations/win/ServiceParametersDialog.h"

#include "framework/win/ModuleResources.h"
#include "resources/ResourceIds.h"

#include <commdlg.h>

#include <algorithm>

namespace kelvane {

namespace {

constexpr COLORREF buttonText = RGB(0, 0, 128);
constexpr COLORREF buttonHover = RGB(0, 0, 255);
constexpr std::uint32_t typeBits = 0x3F;
constexpr unsigned browseTitle = 186, browseFilter = 176;
constexpr DWORD browseFlags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;

struct ListItem {
    unsigned text;
    unsigned detail; // joined by ", " when not 0
    std::uint32_t data;
};

const ListItem serviceTypes[] = {{167, 126, 0x10}, {167, 127, 0x20}, {166, 0, 0x1},
                                 {165, 0, 0x2},    {168, 0, 0x4},    {169, 0, 0x8}};
const ListItem startTypes[] = {{138, 0, 0}, {141, 0, 1}, {137, 0, 2}, {139, 0, 3}, {140, 0, 4}};

template <size_t N> void fillList(HWND list, const ListItem (&items)[N]) {
    for (const ListItem& item : items) {
        std::string text = Plinth::loadString(item.text);
        if (item.detail) {
            text += ", " + Plinth::loadString(item.detail);
        }
        LRESULT at = SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageA(list, CB_SETITEMDATA, static_cast<WPARAM>(at), item.data);
    }
    SendMessageA(list, CB_SETCURSEL, 0, 0);
}

// Selects the item holding data; none when no item does.
void selectData(HWND list, std::uint32_t data) {
    LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (static_cast<std::uint32_t>(SendMessageA(list, CB_GETITEMDATA, i, 0)) == data) {
            SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            return;
        }
    }
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

// The selected item's data; without a selection all bits set, which the
// manager reads as "no change" when a service is edited.
std::uint32_t selectedData(HWND list) {
    LRESULT at = SendMessageA(list, CB_GETCURSEL, 0, 0);
    return at == CB_ERR ? SERVICE_NO_CHANGE
                        : static_cast<std::uint32_t>(SendMessageA(list, CB_GETITEMDATA, at, 0));
}

// "a|b|" to the platform's "a\0b\0\0".
std::string platformFilter(std::string filter) {
    std::replace(filter.begin(), filter.end(), '|', '\0');
    filter.push_back('\0');
    return filter;
}

} // namespace

ServiceParametersDialog::ServiceParametersDialog(const ServiceParameters& record)
    : ModalDialog(IDD_SERVICE_PARAMETERS), record_(record) {}

void ServiceParametersDialog::prepare() {
    browseButton_.attach(item(IDC_PARAM_BROWSE), buttonText, buttonHover);
    okButton_.attach(item(IDOK), buttonText, buttonHover);
    cancelButton_.attach(item(IDCANCEL), buttonText, buttonHover);
    for (int id : {IDC_PARAM_NAME, IDC_PARAM_DISPLAY_NAME, IDC_PARAM_COMMAND,
                   IDC_PARAM_SERVICE_TYPE, IDC_PARAM_START_TYPE, IDC_PARAM_ACCOUNT, IDC_PASSWORD}) {
        anchor(id, Plinth::ResizeLayout::rightFollowsWidth);
    }
    for (int id : {IDC_PARAM_BROWSE, IDC_PARAM_INTERACTIVE}) {
        anchor(id,
               Plinth::ResizeLayout::leftFollowsWidth | Plinth::ResizeLayout::rightFollowsWidth);
    }
    for (int id : {IDOK, IDCANCEL}) {
        anchor(id, Plinth::ResizeLayout::leftFollowsWidth |
                       Plinth::ResizeLayout::rightFollowsWidth |
                       Plinth::ResizeLayout::topFollowsHeight |
                       Plinth::ResizeLayout::bottomFollowsHeight);
    }
    fillLists();
    if (!record_.isNew) {
        enableItem(IDC_PARAM_NAME, false);
    }
    if (record_.serviceType & interactiveBit) {
        enableItem(IDC_PARAM_ACCOUNT, false);
        enableItem(IDC_PASSWORD, false);
    }
    exchange(false);
}

void ServiceParametersDialog::fillLists() {
    fillList(item(IDC_PARAM_SERVICE_TYPE), serviceTypes);
    fillList(item(IDC_PARAM_START_TYPE), startTypes);
}

void ServiceParametersDialog::exchange(bool save) {
    if (!save) {
        setItemText(IDC_PARAM_NAME, record_.name);
        setItemText(IDC_PARAM_DISPLAY_NAME, record_.displayName);
        setItemText(IDC_PARAM_COMMAND, record_.command);
        setItemText(IDC_PARAM_ACCOUNT, record_.account);
        setItemText(IDC_PASSWORD, record_.password);
        CheckDlgButton(handle(), IDC_PARAM_INTERACTIVE,
                       (record_.serviceType & interactiveBit) ? BST_CHECKED : BST_UNCHECKED);
        selectData(item(IDC_PARAM_SERVICE_TYPE), record_.serviceType & typeBits);
        selectData(item(IDC_PARAM_START_TYPE), record_.startType);
        updateInteractive();
        return;
    }
    ParameterFields fields;
    fields.name = itemText(IDC_PARAM_NAME);
    fields.displayName = itemText(IDC_PARAM_DISPLAY_NAME);
    fields.command = itemText(IDC_PARAM_COMMAND);
    fields.account = itemText(IDC_PARAM_ACCOUNT);
    fields.password = itemText(IDC_PASSWORD);
    fields.interactive = IsDlgButtonChecked(handle(), IDC_PARAM_INTERACTIVE) == BST_CHECKED;
    fields.serviceType = selectedData(item(IDC_PARAM_SERVICE_TYPE));
    fields.startType = selectedData(item(IDC_PARAM_START_TYPE));
    ServiceParameters checked = record_;
    // The completed names show also when a later check fails.
    struct ShowFields {
        const ServiceParametersDialog& dialog;
        const ParameterFields& fields;
        ~ShowFields() {
            dialog.setItemText(IDC_PARAM_NAME, fields.name);
            dialog.setItemText(IDC_PARAM_DISPLAY_NAME, fields.displayName);
            dialog.setItemText(IDC_PARAM_ACCOUNT, fields.account);
            dialog.setItemText(IDC_PASSWORD, fields.password);
        }
    } show{*this, fields};
    validateParameters(fields, checked, Plinth::loadString);
    record_ = checked;
}

bool ServiceParametersDialog::onOk() {
    exchange(true);
    return true;
}

void ServiceParametersDialog::readLists() {
    record_.serviceType = selectedData(item(IDC_PARAM_SERVICE_TYPE));
    record_.startType = selectedData(item(IDC_PARAM_START_TYPE));
}

void ServiceParametersDialog::updateInteractive() {
    std::uint32_t type = selectedData(item(IDC_PARAM_SERVICE_TYPE));
    enableItem(IDC_PARAM_INTERACTIVE, type != SERVICE_NO_CHANGE && (type & serviceTypeBits));
}

void ServiceParametersDialog::onControl(int id, int notification) {
    if ((id == IDC_PARAM_SERVICE_TYPE || id == IDC_PARAM_START_TYPE) &&
        notification == CBN_SELENDOK) {
        readLists();
        updateInteractive();
    } else if (id == IDC_PARAM_INTERACTIVE && notification == BN_CLICKED) {
        bool interactive = IsDlgButtonChecked(handle(), IDC_PARAM_INTERACTIVE) == BST_CHECKED;
        enableItem(IDC_PARAM_ACCOUNT, !interactive);
        enableItem(IDC_PASSWORD, !interactive);
    } else if (id == IDC_PARAM_BROWSE && notification == BN_CLICKED) {
        browseForCommand();
    }
}

void ServiceParametersDialog::browseForCommand() {
    std::string title = Plinth::loadString(browseTitle);
    std::string filter = platformFilter(Plinth::loadString(browseFilter));
    char path[MAX_PATH] = {};
    OPENFILENAMEA open{};
    open.lStructSize = sizeof open;
    open.hwndOwner = handle();
    open.lpstrFilter = filter.c_str();
    open.lpstrFile = path;
    open.nMaxFile = sizeof path;
    open.lpstrTitle = title.c_str();
    open.Flags = browseFlags;
    if (GetOpenFileNameA(&open)) {
        record_.command = path;
        setItemText(IDC_PARAM_COMMAND, record_.command);
    }
}

} // namespace kelvane
