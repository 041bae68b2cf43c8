#pragma once
// The service list control of the main window: the seventeen columns and
// the later ones, whose texts the list object holds per item and hands over
// on request, sorting with header arrows, and the cell colours of the custom
// draw.
#include "inventory/ListItemTexts.h"
#include "inventory/RowColors.h"
#include "shell/ListSelection.h"
#include "shell/ViewState.h"

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kelvane {

// The colour a cell style names; listDefault for the list's own choice.
COLORREF colourOf(const CellColour& colour, COLORREF listDefault);

class ServiceListView {
public:
    void attach(HWND list, HFONT boldFont);
    HWND handle() const { return list_; }
    void setBoldFont(HFONT boldFont) { boldFont_ = boldFont; }
    // The columns with their titles in the chosen language, sized for dpi.
    void insertColumns(int dpi = 96);

    // Column layout (ServiceListColumns.cpp). Widths by column index, with
    // columnToFit for a column still waiting to be sized to its content.
    std::vector<int> columnWidths() const;
    // Column indices from left to right.
    std::vector<int> columnOrder() const;
    // Widths (columnToFit: sized to the content once the list holds items)
    // and a whole left-to-right order.
    void arrangeColumns(const std::vector<int>& widths, const std::vector<int>& order);
    // Sizes the waiting columns to their title and widest text, no wider
    // than half the list, once the list holds items.
    void fitWaitingColumns();
    // Texts that came later (the image files' details) widen the columns
    // fitted first, unless the user has sized them since.
    void refitFittedColumns();
    // The window draws at another DPI.
    void scaleColumns(int oldDpi, int newDpi);

    // Appends an item for the entry, or updates the item it already has.
    void addItem(int number, const ServiceEntry& entry, const ListItemTexts& texts, int image);
    // Updates the entry's item in place; false when it has none.
    bool updateItem(int number, const ServiceEntry& entry, const ListItemTexts& texts, int image);
    void removeItem(int number);
    void removeAll();

    int count() const;
    int indexOf(int number) const;
    // The entry number an item carries; 0 for an index without an item.
    int numberAt(int index) const;
    // The text of a cell as the list shows it; empty for no item.
    std::string textAt(int index, int column) const;
    // Item updates made since the list was attached.
    int updates() const { return updates_; }

    int sortColumn() const { return sortColumn_; }
    bool ascending() const { return ascending_; }
    // A header click: the same column reverses, another starts ascending.
    void chooseSortColumn(int column);
    // A sort brought back from before (with its header arrow), or with none
    // the first column ascending as at the start; the items are not sorted.
    void restoreSort(const std::optional<ListSort>& sort);
    // Sorts by the current column and direction and keeps the item with the
    // selection mark in view (the user chose the order).
    void sort();
    // Sorts again after the items changed and keeps the stretch in view.
    void sortKeepingView();

    // The selection, focus, mark and first service in view, by service name.
    NamedSelection namedSelection() const;
    // Gives those back to the items that now hold the services, and scrolls
    // the remembered first service to the top.
    void restoreSelection(const NamedSelection& kept);

    // A refresh has started: no item is new or changed any more.
    void clearChangeMarks();

    // LVN_GETDISPINFO.
    void answerTextRequest(NMLVDISPINFOA& request) const;
    // NM_CUSTOMDRAW: the return value for the notification.
    LRESULT customDraw(NMLVCUSTOMDRAW& draw, const ListColouring& colouring) const;

private:
    struct Item {
        ServiceEntry entry;
        ListItemTexts texts;
        int image = 0;
    };
    static int CALLBACK compareItems(LPARAM a, LPARAM b, LPARAM self);
    const Item* itemOf(LPARAM number) const;
    std::string serviceAt(int index) const;
    int topIndex() const;
    std::vector<std::string> orderOfServices() const;
    void scrollToTop(int index);
    void showSortArrow(int column, bool show);
    LRESULT applyStyle(NMLVCUSTOMDRAW& draw, const CellStyle& style) const;
    int widestFit() const;
    int fitColumn(int column, int widest);
    int columnWidth(int column) const;
    int titleWidth(int column) const;

    HWND list_ = nullptr;
    HFONT boldFont_ = nullptr;
    std::unordered_map<int, Item> items_;
    int sortColumn_ = 0;
    bool ascending_ = true;
    int updates_ = 0;
    int dpi_ = 96;
    std::vector<int> waitingToFit_;
    struct Fitted {
        int column;
        int width;
    };
    std::vector<Fitted> fitted_;
};

} // namespace kelvane
