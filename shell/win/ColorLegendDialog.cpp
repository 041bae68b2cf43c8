#include "shell/win/ColorLegendDialog.h"

#include "framework/win/ModuleResources.h"
#include "resources/ResourceIds.h"
#include "shell/win/ServiceListView.h"

#include <commctrl.h>

namespace kelvane {

ColorLegendDialog::ColorLegendDialog() : Plinth::Dialog(IDD_COLOR_LEGEND) {}

bool ColorLegendDialog::onInit() {
    using Plinth::loadString;
    texts_ = {loadString(170), loadString(166), loadString(165)};
    const std::string service = loadString(167);
    rows_ = {{
        {service, "0", "Noname"},
        {"new " + service, "1", "Apple Inc."},
        {texts_.kernelDriver, "2", ""},
        {texts_.fileSystemDriver, "3", ""},
        {service, "4", texts_.searchString},
        {service, "5", "Microsoft Corp"},
    }};

    startLayout();
    anchor(IDC_LEGEND_LIST,
           Plinth::ResizeLayout::rightFollowsWidth | Plinth::ResizeLayout::bottomFollowsHeight);
    anchor(IDOK, 15);
    RECT outer{};
    GetWindowRect(handle(), &outer);
    SetWindowPos(handle(), nullptr, outer.left - scaled(50), outer.top - scaled(25),
                 outer.right - outer.left + scaled(100), outer.bottom - outer.top + scaled(50),
                 SWP_NOZORDER | SWP_NOACTIVATE);

    HWND list = item(IDC_LEGEND_LIST);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    struct {
        unsigned title;
        int width;
        bool right;
    } const columns[columnCount] = {{111, 120, false}, {164, 80, true}, {120, 100, false}};
    for (int i = 0; i < columnCount; ++i) {
        std::string title = loadString(columns[i].title);
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = columns[i].right ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = scaled(columns[i].width);
        column.pszText = title.data();
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    for (int r = 0; r < rowCount; ++r) {
        LVITEMA row{};
        row.mask = LVIF_TEXT;
        row.iItem = r;
        row.pszText = rows_[r][0].data();
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row));
        for (int c = 1; c < columnCount; ++c) {
            row.iSubItem = c;
            row.pszText = rows_[r][c].data();
            SendMessageA(list, LVM_SETITEMTEXTA, r, reinterpret_cast<LPARAM>(&row));
        }
    }
    makeBoldFont();
    return true;
}

void ColorLegendDialog::makeBoldFont() {
    LOGFONTA face{};
    HFONT font =
        reinterpret_cast<HFONT>(SendDlgItemMessageA(handle(), IDC_LEGEND_LIST, WM_GETFONT, 0, 0));
    if (font && GetObjectA(font, sizeof face, &face)) {
        face.lfWeight = FW_BOLD;
        boldFont_.reset(CreateFontIndirectA(&face));
    }
}

void ColorLegendDialog::onDpiChanged(int oldDpi, int newDpi) {
    makeBoldFont();
    HWND list = item(IDC_LEGEND_LIST);
    for (int c = 0; c < columnCount; ++c) {
        SendMessageA(
            list, LVM_SETCOLUMNWIDTH, c,
            MulDiv(static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, c, 0)), newDpi, oldDpi));
    }
}

bool ColorLegendDialog::onMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message == WM_DRAWITEM) {
        const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (draw.CtlID == IDC_LEGEND_LIST) {
            drawRow(draw);
            result = TRUE;
            return true;
        }
    }
    return false;
}

void ColorLegendDialog::drawRow(const DRAWITEMSTRUCT& draw) const {
    if (draw.itemID >= static_cast<UINT>(rowCount)) {
        return;
    }
    const Row& row = rows_[draw.itemID];
    HWND list = item(IDC_LEGEND_LIST);
    HFONT normal = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
    for (int c = 0; c < columnCount; ++c) {
        RECT cell{};
        cell.top = c;
        cell.left = LVIR_BOUNDS;
        SendMessageA(list, LVM_GETSUBITEMRECT, draw.itemID, reinterpret_cast<LPARAM>(&cell));
        cell.top = draw.rcItem.top;
        cell.bottom = draw.rcItem.bottom;
        if (c == 0) {
            // The first sub-item rectangle spans the whole row.
            cell.right =
                cell.left + static_cast<LONG>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0));
        }
        CellStyle style = legendCellStyle(row[0], row[2], c, row[c], texts_);
        HBRUSH brush = CreateSolidBrush(colourOf(style.background, GetSysColor(COLOR_WINDOW)));
        FillRect(draw.hDC, &cell, brush);
        DeleteObject(brush);
        SetTextColor(draw.hDC, colourOf(style.text, GetSysColor(COLOR_WINDOWTEXT)));
        SetBkMode(draw.hDC, TRANSPARENT);
        HGDIOBJ old = SelectObject(draw.hDC, style.bold && boldFont_ ? boldFont_.get() : normal);
        RECT text = cell;
        InflateRect(&text, -4, 0);
        DrawTextA(draw.hDC, row[c].c_str(), -1, &text,
                  DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX |
                      (c == 1 ? DT_RIGHT : DT_LEFT));
        SelectObject(draw.hDC, old);
    }
    if (draw.itemState & ODS_FOCUS) {
        RECT focus = draw.rcItem;
        DrawFocusRect(draw.hDC, &focus);
    }
}

} // namespace kelvane
