#include "inventory/RowColors.h"

#include "inventory/ListItemTexts.h"
#include "inventory/RowFilter.h"
#include "inventory/ServiceColumns.h"
#include "inventory/WildcardMatch.h"

namespace kelvane {

namespace {

// The background shared by the sort column rule of the list and the legend.
CellColour sortTint(int column, int sortColumn) {
    if (column == sortColumn) {
        return CellColour::fixed(sortColumnYellow);
    }
    // The list carries a cell's colours on to the next cell, so the one after
    // the tinted column is reset explicitly.
    if (column == sortColumn + 1) {
        return {CellColour::Window, 0};
    }
    return {};
}

} // namespace

std::uint32_t listColumnChangeBit(int listColumn) {
    if (listColumn >= 0 && listColumn <= 8) {
        return std::uint32_t{1} << listColumn;
    }
    switch (listColumn) {
    case 9:
        return std::uint32_t{1} << ServiceColumns::time;
    case listDependenciesColumn:
        return std::uint32_t{1} << ServiceColumns::dependencies;
    case listStartOptionsColumn:
        return std::uint32_t{1} << ServiceColumns::startOptions;
    case listOnFailureColumn:
        return std::uint32_t{1} << ServiceColumns::onFailure;
    default:
        return 0;
    }
}

bool needsCellDrawing(const ServiceEntry& entry, const ListColouring& colouring) {
    if (!colouring.colourBackground) {
        return false;
    }
    return colouring.sortChosen || !colouring.searchText.empty() ||
           (entry.changed != 0 && entry.changed != changeMaskNew);
}

CellStyle cellStyle(const ServiceEntry& entry, int listColumn, std::string_view cellText,
                    std::string_view manufacturer, const ListColouring& colouring) {
    CellStyle style;
    if (!colouring.colourBackground) {
        return style;
    }
    style.text = {CellColour::WindowText, 0};
    if (!colouring.searchText.empty() &&
        wildcardMatch(cellText, searchPattern(colouring.searchText))) {
        style.text = CellColour::fixed(searchHitRed);
    }
    const auto type = static_cast<std::uint32_t>(entry.type);
    if (entry.changed != 0) {
        // A new service counts as changed in its two names.
        const std::uint32_t mask =
            entry.changed == changeMaskNew ? 3u : static_cast<std::uint32_t>(entry.changed);
        style.background = CellColour::fixed(changedYellow);
        style.bold = (mask & listColumnChangeBit(listColumn)) != 0;
    } else if (type & 0x01) {
        style.background = CellColour::fixed(kernelDriverRed);
    } else if (type & 0x02) {
        style.background = CellColour::fixed(fileSystemDriverGreen);
    } else if (isMicrosoftMaker(manufacturer)) {
        style.background = CellColour::fixed(microsoftBlue);
    } else if (colouring.sortChosen) {
        style.background = sortTint(listColumn, colouring.sortColumn);
    }
    return style;
}

CellStyle legendCellStyle(std::string_view firstColumn, std::string_view manufacturer, int column,
                          std::string_view cellText, const LegendTexts& texts) {
    CellStyle style;
    style.text = cellText == texts.searchString ? CellColour::fixed(searchHitRed)
                                                : CellColour{CellColour::WindowText, 0};
    if (firstColumn.substr(0, 4) == "new ") {
        style.background = CellColour::fixed(changedYellow);
        style.bold = true;
    } else if (firstColumn == texts.kernelDriver) {
        style.background = CellColour::fixed(kernelDriverRed);
    } else if (firstColumn == texts.fileSystemDriver) {
        style.background = CellColour::fixed(fileSystemDriverGreen);
    } else if (manufacturer == "Microsoft Corp") {
        style.background = CellColour::fixed(microsoftBlue);
    } else {
        style.background = sortTint(column, 1);
    }
    return style;
}

} // namespace kelvane
