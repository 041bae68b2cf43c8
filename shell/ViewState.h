#pragma once
// How the user arranged the main window's list: column widths and order,
// the sort, and the type, state and maker filter boxes. The settings file
// keeps it in one element after those older versions know; every part of it
// is optional, and a value that cannot be used leaves its default.
#include <optional>
#include <vector>

namespace kelvane {

class XmlNode;
class XmlStreamWriter;

// A width the list works out from its content once it is first filled.
inline constexpr int columnToFit = -1;

struct ListSort {
    int column = 0;
    bool ascending = true;

    bool operator==(const ListSort& other) const {
        return column == other.column && ascending == other.ascending;
    }
};

// The filter boxes as the user set them; the combo box items count from 0
// in the order own/shared/all services and kernel/file system/all drivers.
struct FilterBoxes {
    bool services = true;
    int serviceKind = 2;
    bool drivers = false;
    int driverKind = 2;
    bool active = true;
    bool inactive = true;
    bool microsoft = true;

    bool operator==(const FilterBoxes& other) const;
};

struct ViewState {
    // Pixels at widthsDpi by column index; columnToFit, or no entry, for a
    // column sized to its content.
    std::vector<int> widths;
    int widthsDpi = 96;
    // Column indices from left to right; empty for the columns' own order.
    std::vector<int> order;
    // None: by the first column ascending, as before the user chose one.
    std::optional<ListSort> sort;
    FilterBoxes filter;

    bool operator==(const ViewState& other) const;
};

// Pixels at one DPI as many at another, rounded to the nearest.
int scaleToDpi(int pixels, int fromDpi, int toDpi);

// The widths of a list of columnCount columns at dpi: the stored ones
// scaled, columnToFit for the others; entries past the last column count
// for nothing.
std::vector<int> columnWidthsFor(const ViewState& view, int columnCount, int dpi);

// A whole left-to-right order of columnCount columns: the stored entries
// that name a column, each once, then the columns they left out in their
// own order.
std::vector<int> columnOrderFor(const ViewState& view, int columnCount);

// The stored sort when it names one of columnCount columns.
std::optional<ListSort> sortFor(const ViewState& view, int columnCount);

// The "view" element; nothing for a view that is all defaults.
void writeViewState(XmlStreamWriter& writer, const ViewState& view);

// The "view" element under the settings file's root, when there is one.
ViewState readViewState(const XmlNode& root);

} // namespace kelvane
