// The service list's column layout: widths, order and sizing the columns to
// what they show.
#include "shell/win/ServiceListView.h"

#include "framework/win/WindowDpi.h"

#include <algorithm>

namespace kelvane {

int ServiceListView::columnWidth(int column) const {
    return static_cast<int>(SendMessageA(list_, LVM_GETCOLUMNWIDTH, column, 0));
}

std::vector<int> ServiceListView::columnWidths() const {
    std::vector<int> widths(static_cast<std::size_t>(listColumnCount));
    for (int column = 0; column < listColumnCount; ++column) {
        widths[static_cast<std::size_t>(column)] = columnWidth(column);
    }
    for (int column : waitingToFit_) {
        widths[static_cast<std::size_t>(column)] = columnToFit;
    }
    return widths;
}

std::vector<int> ServiceListView::columnOrder() const {
    std::vector<int> order(static_cast<std::size_t>(listColumnCount));
    if (!SendMessageA(list_, LVM_GETCOLUMNORDERARRAY, order.size(),
                      reinterpret_cast<LPARAM>(order.data()))) {
        for (int column = 0; column < listColumnCount; ++column) {
            order[static_cast<std::size_t>(column)] = column;
        }
    }
    return order;
}

void ServiceListView::arrangeColumns(const std::vector<int>& widths,
                                     const std::vector<int>& order) {
    waitingToFit_.clear();
    fitted_.clear();
    for (int column = 0; column < listColumnCount; ++column) {
        const std::size_t at = static_cast<std::size_t>(column);
        if (at >= widths.size() || widths[at] == columnToFit) {
            waitingToFit_.push_back(column);
        } else {
            SendMessageA(list_, LVM_SETCOLUMNWIDTH, column, std::max(widths[at], 0));
        }
    }
    if (order.size() == static_cast<std::size_t>(listColumnCount)) {
        SendMessageA(list_, LVM_SETCOLUMNORDERARRAY, order.size(),
                     reinterpret_cast<LPARAM>(order.data()));
    }
    InvalidateRect(list_, nullptr, TRUE);
}

void ServiceListView::fitWaitingColumns() {
    if (waitingToFit_.empty() || count() == 0) {
        return;
    }
    const int widest = widestFit();
    for (int column : waitingToFit_) {
        fitted_.push_back({column, fitColumn(column, widest)});
    }
    waitingToFit_.clear();
}

void ServiceListView::refitFittedColumns() {
    std::vector<Fitted> fitted;
    fitted.swap(fitted_);
    const int widest = widestFit();
    for (const Fitted& column : fitted) {
        if (columnWidth(column.column) == column.width) {
            fitColumn(column.column, widest);
        }
    }
}

// Half the list, so that one long text leaves room for the others.
int ServiceListView::widestFit() const {
    RECT client{};
    GetClientRect(list_, &client);
    return std::max<int>(client.right / 2, Plinth::pixelsForDpi(20, dpi_));
}

// The platform sizes a column to its title and texts, except the last one,
// which it stretches over the rest of the list instead.
int ServiceListView::fitColumn(int column, int widest) {
    const bool last = column == listColumnCount - 1;
    SendMessageA(list_, LVM_SETCOLUMNWIDTH, column,
                 last ? LVSCW_AUTOSIZE : LVSCW_AUTOSIZE_USEHEADER);
    int width = columnWidth(column);
    if (last) {
        width = std::max(width, titleWidth(column));
    }
    width = std::min(width, widest);
    SendMessageA(list_, LVM_SETCOLUMNWIDTH, column, width);
    return columnWidth(column);
}

int ServiceListView::titleWidth(int column) const {
    char title[128] = {};
    LVCOLUMNA query{};
    query.mask = LVCF_TEXT;
    query.pszText = title;
    query.cchTextMax = sizeof title;
    SendMessageA(list_, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&query));
    const int text = static_cast<int>(
        SendMessageA(list_, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(title)));
    return text + Plinth::pixelsForDpi(12, dpi_); // the header's margins
}

void ServiceListView::scaleColumns(int oldDpi, int newDpi) {
    for (int column = 0; column < listColumnCount; ++column) {
        SendMessageA(list_, LVM_SETCOLUMNWIDTH, column,
                     MulDiv(columnWidth(column), newDpi, oldDpi));
    }
    for (Fitted& column : fitted_) {
        column.width = columnWidth(column.column);
    }
    dpi_ = newDpi;
}

} // namespace kelvane
