#include "shell/win/ServiceListView.h"

#include "framework/win/ModuleResources.h"
#include "framework/win/WindowDpi.h"
#include "inventory/ListSortOrder.h"

#include <algorithm>
#include <cstring>

namespace kelvane {

namespace {

struct ColumnSpec {
    unsigned title;
    int width;
    bool right;
};

// The seventeen, then the later columns after them, so that the columns
// before keep their numbers.
constexpr ColumnSpec columnSpecs[listColumnCount] = {
    {112, 20, false},  {111, 150, false}, {160, 60, false},  {114, 60, false},
    {113, 60, false},  {161, 60, true},   {115, 75, false},  {116, 300, false},
    {117, 250, false}, {172, 115, false}, {173, 115, false}, {118, 100, false},
    {119, 120, false}, {120, 150, false}, {121, 250, false}, {122, 150, false},
    {131, 50, false},  {240, 250, false}, {241, 150, false}, {242, 150, false},
    {243, 100, false}, {244, 250, false},
};

} // namespace

COLORREF colourOf(const CellColour& colour, COLORREF listDefault) {
    switch (colour.source) {
    case CellColour::WindowText:
        return GetSysColor(COLOR_WINDOWTEXT);
    case CellColour::Window:
        return GetSysColor(COLOR_WINDOW);
    case CellColour::Fixed:
        return colour.value;
    case CellColour::ListDefault:
        break;
    }
    return listDefault;
}

void ServiceListView::attach(HWND list, HFONT boldFont) {
    list_ = list;
    boldFont_ = boldFont;
}

void ServiceListView::insertColumns(int dpi) {
    dpi_ = dpi;
    for (int i = 0; i < listColumnCount; ++i) {
        std::string title = Plinth::loadString(columnSpecs[i].title);
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = columnSpecs[i].right ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = Plinth::pixelsForDpi(columnSpecs[i].width, dpi);
        column.pszText = title.data();
        column.iSubItem = i;
        SendMessageA(list_, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

void ServiceListView::addItem(int number, const ServiceEntry& entry, const ListItemTexts& texts,
                              int image) {
    if (updateItem(number, entry, texts, image)) {
        return;
    }
    items_[number] = Item{entry, texts, image};
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = count();
    item.pszText = LPSTR_TEXTCALLBACKA;
    item.iImage = I_IMAGECALLBACK;
    item.lParam = number;
    if (SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) < 0) {
        items_.erase(number);
    }
}

bool ServiceListView::updateItem(int number, const ServiceEntry& entry, const ListItemTexts& texts,
                                 int image) {
    auto found = items_.find(number);
    if (found == items_.end()) {
        return false;
    }
    found->second = Item{entry, texts, image};
    int index = indexOf(number);
    if (index >= 0) {
        ++updates_;
        SendMessageA(list_, LVM_UPDATE, index, 0);
    }
    return true;
}

void ServiceListView::removeItem(int number) {
    int index = indexOf(number);
    if (index >= 0) {
        SendMessageA(list_, LVM_DELETEITEM, index, 0);
    }
    items_.erase(number);
}

void ServiceListView::removeAll() {
    SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
    items_.clear();
}

int ServiceListView::count() const {
    return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
}

int ServiceListView::indexOf(int number) const {
    if (items_.find(number) == items_.end()) {
        return -1;
    }
    LVFINDINFOA find{};
    find.flags = LVFI_PARAM;
    find.lParam = number;
    return static_cast<int>(
        SendMessageA(list_, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

int ServiceListView::numberAt(int index) const {
    if (index < 0) {
        return 0;
    }
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) {
        return 0;
    }
    return static_cast<int>(item.lParam);
}

std::string ServiceListView::textAt(int index, int column) const {
    const Item* item = itemOf(numberAt(index));
    if (!item || column < 0 || column >= listColumnCount) {
        return {};
    }
    return item->texts[column];
}

const ServiceListView::Item* ServiceListView::itemOf(LPARAM number) const {
    auto found = items_.find(static_cast<int>(number));
    return found == items_.end() ? nullptr : &found->second;
}

void ServiceListView::chooseSortColumn(int column) {
    if (column < 0 || column >= listColumnCount) {
        return;
    }
    if (column != sortColumn_) {
        showSortArrow(sortColumn_, false);
        ascending_ = true;
        sortColumn_ = column;
    } else {
        ascending_ = !ascending_;
    }
    showSortArrow(sortColumn_, true);
    sort();
}

void ServiceListView::restoreSort(const std::optional<ListSort>& sort) {
    showSortArrow(sortColumn_, false);
    sortColumn_ = sort && sort->column >= 0 && sort->column < listColumnCount ? sort->column : 0;
    ascending_ = sort ? sort->ascending : true;
    if (sort) {
        showSortArrow(sortColumn_, true);
    }
}

void ServiceListView::showSortArrow(int column, bool show) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0));
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    if (!header || !SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item))) {
        return;
    }
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (show) {
        item.fmt |= ascending_ ? HDF_SORTDOWN : HDF_SORTUP;
    }
    SendMessageA(header, HDM_SETITEMA, column, reinterpret_cast<LPARAM>(&item));
}

int CALLBACK ServiceListView::compareItems(LPARAM a, LPARAM b, LPARAM selfParam) {
    const auto* self = reinterpret_cast<const ServiceListView*>(selfParam);
    const Item* first = self->itemOf(a);
    const Item* second = self->itemOf(b);
    static const std::string none;
    const std::string& left = first ? first->texts[self->sortColumn_] : none;
    const std::string& right = second ? second->texts[self->sortColumn_] : none;
    int order = compareListTexts(self->sortColumn_, left, right);
    return self->ascending_ ? order : -order;
}

void ServiceListView::sort() {
    int marked = numberAt(static_cast<int>(SendMessageA(list_, LVM_GETSELECTIONMARK, 0, 0)));
    SendMessageA(list_, LVM_SORTITEMS, reinterpret_cast<WPARAM>(this),
                 reinterpret_cast<LPARAM>(&ServiceListView::compareItems));
    int index = marked ? indexOf(marked) : -1;
    if (index >= 0) {
        SendMessageA(list_, LVM_ENSUREVISIBLE, index, FALSE);
    }
}

void ServiceListView::sortKeepingView() {
    // Sorting moves the items with their states; only the view needs keeping.
    NamedSelection view;
    view.topIndex = topIndex();
    view.top = serviceAt(view.topIndex);
    SendMessageA(list_, LVM_SORTITEMS, reinterpret_cast<WPARAM>(this),
                 reinterpret_cast<LPARAM>(&ServiceListView::compareItems));
    scrollToTop(placeSelection(view, orderOfServices()).top);
}

int ServiceListView::topIndex() const {
    return count() > 0 ? static_cast<int>(SendMessageA(list_, LVM_GETTOPINDEX, 0, 0)) : -1;
}

std::string ServiceListView::serviceAt(int index) const {
    const Item* item = itemOf(numberAt(index));
    return item ? item->entry.serviceName.str() : std::string();
}

std::vector<std::string> ServiceListView::orderOfServices() const {
    std::vector<std::string> order(static_cast<std::size_t>(count()));
    for (int i = 0; i < static_cast<int>(order.size()); ++i) {
        order[static_cast<std::size_t>(i)] = serviceAt(i);
    }
    return order;
}

NamedSelection ServiceListView::namedSelection() const {
    NamedSelection kept;
    for (int index = -1;;) {
        index = static_cast<int>(
            SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(index), LVNI_SELECTED));
        if (index < 0) {
            break;
        }
        kept.selected.push_back(serviceAt(index));
    }
    kept.focused = serviceAt(static_cast<int>(
        SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
    kept.marked = serviceAt(static_cast<int>(SendMessageA(list_, LVM_GETSELECTIONMARK, 0, 0)));
    kept.topIndex = topIndex();
    kept.top = serviceAt(kept.topIndex);
    return kept;
}

void ServiceListView::restoreSelection(const NamedSelection& kept) {
    PlacedSelection placed = placeSelection(kept, orderOfServices());
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&state));
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    for (int index : placed.selected) {
        SendMessageA(list_, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&state));
    }
    if (placed.focused >= 0) {
        state.stateMask = state.state = LVIS_FOCUSED;
        SendMessageA(list_, LVM_SETITEMSTATE, placed.focused, reinterpret_cast<LPARAM>(&state));
    }
    SendMessageA(list_, LVM_SETSELECTIONMARK, 0, placed.marked);
    scrollToTop(placed.top);
}

// The platform scrolls an item into view at the nearest edge: first the
// end of the page, then its first item, puts that one at the top.
void ServiceListView::scrollToTop(int index) {
    const int items = count();
    if (index < 0 || index >= items) {
        return;
    }
    const int perPage = static_cast<int>(SendMessageA(list_, LVM_GETCOUNTPERPAGE, 0, 0));
    SendMessageA(list_, LVM_ENSUREVISIBLE, std::min(index + std::max(perPage, 1) - 1, items - 1),
                 FALSE);
    SendMessageA(list_, LVM_ENSUREVISIBLE, index, FALSE);
}

void ServiceListView::clearChangeMarks() {
    for (auto& [number, item] : items_) {
        item.entry.changed = 0;
        item.texts[listChangesColumn].clear();
    }
    InvalidateRect(list_, nullptr, FALSE);
}

void ServiceListView::answerTextRequest(NMLVDISPINFOA& request) const {
    LVITEMA& item = request.item;
    LPARAM number = item.lParam ? item.lParam : numberAt(item.iItem);
    const Item* data = itemOf(number);
    if (!data) {
        return;
    }
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0 && item.iSubItem >= 0 &&
        item.iSubItem < listColumnCount) {
        const std::string& text = data->texts[item.iSubItem];
        std::size_t length = std::min<std::size_t>(text.size(), item.cchTextMax - 1);
        std::memcpy(item.pszText, text.data(), length);
        item.pszText[length] = '\0';
    }
    if (item.mask & LVIF_IMAGE) {
        item.iImage = data->image;
    }
}

LRESULT ServiceListView::applyStyle(NMLVCUSTOMDRAW& draw, const CellStyle& style) const {
    draw.clrText = colourOf(style.text, CLR_DEFAULT);
    draw.clrTextBk = colourOf(style.background, CLR_DEFAULT);
    HFONT font = style.bold ? boldFont_
                            : reinterpret_cast<HFONT>(SendMessageA(list_, WM_GETFONT, 0, 0));
    if (font) {
        SelectObject(draw.nmcd.hdc, font);
    }
    return CDRF_NEWFONT;
}

LRESULT ServiceListView::customDraw(NMLVCUSTOMDRAW& draw, const ListColouring& colouring) const {
    if (!colouring.colourBackground) {
        return CDRF_DODEFAULT;
    }
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        const Item* item = itemOf(draw.nmcd.lItemlParam);
        if (!item) {
            return CDRF_DODEFAULT;
        }
        if (needsCellDrawing(item->entry, colouring)) {
            return CDRF_NOTIFYSUBITEMDRAW;
        }
        return applyStyle(draw, cellStyle(item->entry, 0, item->texts[0],
                                          item->texts[listManufacturerColumn], colouring));
    }
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const Item* item = itemOf(draw.nmcd.lItemlParam);
        int column = draw.iSubItem;
        if (!item || column < 0 || column >= listColumnCount) {
            return CDRF_DODEFAULT;
        }
        return applyStyle(draw, cellStyle(item->entry, column, item->texts[column],
                                          item->texts[listManufacturerColumn], colouring));
    }
    default:
        return CDRF_DODEFAULT;
    }
}

} // namespace kelvane
