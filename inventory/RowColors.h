#pragma once
// The colours and bold marks of the service list's cells, and of the colour
// legend's sample rows that explain them.
#include "inventory/ServiceEntry.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvane {

// Red in the low byte, as a Windows COLORREF.
constexpr std::uint32_t rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<std::uint32_t>(r) | static_cast<std::uint32_t>(g) << 8 |
           static_cast<std::uint32_t>(b) << 16;
}

constexpr std::uint32_t searchHitRed = rgb(255, 0, 0);
constexpr std::uint32_t changedYellow = rgb(255, 255, 0);
constexpr std::uint32_t kernelDriverRed = rgb(255, 216, 216);
constexpr std::uint32_t fileSystemDriverGreen = rgb(216, 255, 216);
constexpr std::uint32_t microsoftBlue = rgb(228, 228, 255);
constexpr std::uint32_t sortColumnYellow = rgb(255, 255, 228);

struct CellColour {
    enum Source : std::uint8_t {
        ListDefault, // whatever the list would draw
        WindowText,  // the system's window-text colour
        Window,      // the system's window colour
        Fixed,       // value
    };
    Source source = ListDefault;
    std::uint32_t value = 0;

    static CellColour fixed(std::uint32_t value) { return {Fixed, value}; }
    bool operator==(const CellColour& o) const {
        return source == o.source && (source != Fixed || value == o.value);
    }
    bool operator!=(const CellColour& o) const { return !(*this == o); }
};

struct CellStyle {
    CellColour text;
    CellColour background;
    bool bold = false;
};

// What the colouring depends on beside the entry.
struct ListColouring {
    bool colourBackground = true; // off: no colours, bold marks or highlights at all
    bool sortChosen = false;
    int sortColumn = 0;
    std::string searchText;
};

// The ChangeMask bit that list column c shows: columns 0 to 8 show table
// columns 0 to 8, column 9 the "time" column, and the persisted columns
// after the seventeen their own; others none.
std::uint32_t listColumnChangeBit(int listColumn);

// True when each cell of the entry's item needs its own colours; otherwise
// the style of column 0 applies to the whole row.
bool needsCellDrawing(const ServiceEntry& entry, const ListColouring& colouring);

// The style of one cell. cellText is what the cell shows; manufacturer is the
// entry's manufacturer column text.
CellStyle cellStyle(const ServiceEntry& entry, int listColumn, std::string_view cellText,
                    std::string_view manufacturer, const ListColouring& colouring);

// The legend's sample rows are drawn with the same classes, recognised by
// their texts: firstColumn and manufacturer are the row's texts of columns
// 0 and 2, texts the legend's own words for the classes (in the language of
// the user interface).
struct LegendTexts {
    std::string searchString;
    std::string kernelDriver;
    std::string fileSystemDriver;
};
CellStyle legendCellStyle(std::string_view firstColumn, std::string_view manufacturer, int column,
                          std::string_view cellText, const LegendTexts& texts);

} // namespace kelvane
