#pragma once
// The service list control of the main window: the seventeen columns and
// the later ones, whose texts the list object holds per item and hands over
// on request, sorting with header arrows, and the cell colours of the custom
// draw.
#include "inventory/ListItemTexts.h"
#include "inventory/RowColors.h"
#include "shell/ListSelection.h"

#include <windows.h>
#include <commctrl.h>

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
    // The columns with their titles in the chosen language.
    void insertColumns();

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

    HWND list_ = nullptr;
    HFONT boldFont_ = nullptr;
    std::unordered_map<int, Item> items_;
    int sortColumn_ = 0;
    bool ascending_ = true;
    int updates_ = 0;
};

} // namespace kelvane
