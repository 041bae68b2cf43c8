// How the user arranged the main window's list, shown at the start from the
// settings file, taken back at the close, returned to the defaults by
// "Reset view", and followed to another DPI.
#include "shell/win/MainWindow.h"

#include "inventory/ListItemTexts.h"

namespace kelvane {

void MainWindow::showView(const ViewState& view) {
    showFilterBoxes(view.filter);
    list_.arrangeColumns(columnWidthsFor(view, listColumnCount, dpi()),
                         columnOrderFor(view, listColumnCount));
    const std::optional<ListSort> sort = sortFor(view, listColumnCount);
    list_.restoreSort(sort);
    colouring_.sortChosen = sort.has_value();
    colouring_.sortColumn = list_.sortColumn();
}

ViewState MainWindow::currentView() const {
    ViewState view;
    view.widths = list_.columnWidths();
    view.widthsDpi = dpi();
    view.order = list_.columnOrder();
    if (colouring_.sortChosen) {
        view.sort = ListSort{list_.sortColumn(), list_.ascending()};
    }
    view.filter = filterBoxes();
    return view;
}

// The columns are fitted to what the list holds now.
void MainWindow::resetView() {
    showView(ViewState());
    rebuildList(true);
}

void MainWindow::showFilterBoxes(const FilterBoxes& boxes) {
    auto check = [this](int id, bool on) {
        CheckDlgButton(handle(), id, on ? BST_CHECKED : BST_UNCHECKED);
    };
    check(IDC_SERVICES, boxes.services);
    check(IDC_DRIVERS, boxes.drivers);
    check(IDC_ACTIVE, boxes.active);
    check(IDC_INACTIVE, boxes.inactive);
    check(IDC_MICROSOFT, boxes.microsoft);
    SendMessageA(item(IDC_SERVICE_KIND), CB_SETCURSEL, boxes.serviceKind, 0);
    SendMessageA(item(IDC_DRIVER_KIND), CB_SETCURSEL, boxes.driverKind, 0);
    takeFilterBoxes(boxes);
}

FilterBoxes MainWindow::filterBoxes() const {
    FilterBoxes boxes;
    boxes.services = isChecked(IDC_SERVICES);
    boxes.serviceKind = static_cast<int>(SendMessageA(item(IDC_SERVICE_KIND), CB_GETCURSEL, 0, 0));
    boxes.drivers = isChecked(IDC_DRIVERS);
    boxes.driverKind = static_cast<int>(SendMessageA(item(IDC_DRIVER_KIND), CB_GETCURSEL, 0, 0));
    boxes.active = isChecked(IDC_ACTIVE);
    boxes.inactive = isChecked(IDC_INACTIVE);
    boxes.microsoft = isChecked(IDC_MICROSOFT);
    return boxes;
}

void MainWindow::takeFilterBoxes(const FilterBoxes& boxes) {
    EnableWindow(item(IDC_SERVICE_KIND), boxes.services);
    EnableWindow(item(IDC_DRIVER_KIND), boxes.drivers);
    filter_.typeMask =
        typeMaskFor(boxes.services, boxes.serviceKind, boxes.drivers, boxes.driverKind);
    filter_.activeMask = activeMaskFor(boxes.active, boxes.inactive);
    filter_.showMicrosoft = boxes.microsoft;
}

void MainWindow::makeBoldFont(HFONT font) {
    LOGFONTA face{};
    if (font && GetObjectA(font, sizeof face, &face)) {
        face.lfWeight = FW_BOLD;
        boldFont_.reset(CreateFontIndirectA(&face));
        list_.setBoldFont(boldFont_.get());
    }
}

void MainWindow::onDpiChanged(int oldDpi, int newDpi) {
    HWND list = item(IDC_SERVICE_LIST);
    makeBoldFont(reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
    list_.scaleColumns(oldDpi, newDpi);
    InvalidateRect(list, nullptr, TRUE);
}

} // namespace kelvane
