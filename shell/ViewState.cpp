#include "shell/ViewState.h"

#include "xml/XmlDocument.h"
#include "xml/XmlFormat.h"
#include "xml/XmlStreamWriter.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelvane {

namespace {

// Wider than any screen: a larger stored width is a damaged one.
constexpr int widestColumn = 20000;
// Far more columns than the list has; the list drops the ones it lacks.
constexpr int lastColumnIndex = 999;
constexpr int lowestDpi = 24, highestDpi = 4800;
constexpr int kindCount = 3;

// Digits only, and within low to high.
std::optional<int> readNumber(std::string_view text, int low, int high) {
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::optional<bool> readFlag(const std::string& text) {
    if (equalsIgnoringCase(text, "true")) {
        return true;
    }
    if (equalsIgnoringCase(text, "false")) {
        return false;
    }
    return std::nullopt;
}

std::vector<std::string_view> commaSeparated(std::string_view text) {
    std::vector<std::string_view> parts;
    if (text.empty()) {
        return parts;
    }
    for (;;) {
        const std::size_t comma = text.find(',');
        parts.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos) {
            return parts;
        }
        text.remove_prefix(comma + 1);
    }
}

const XmlNode* firstChild(const XmlNode& parent, const char* name) {
    const std::vector<const XmlNode*> children = parent.childrenByName(name);
    return children.empty() ? nullptr : children.front();
}

const char* flagText(bool on) {
    return on ? "true" : "false";
}

// Columns to fit are empty entries; trailing ones are left out.
std::string widthsText(const std::vector<int>& widths) {
    std::size_t used = widths.size();
    while (used > 0 && widths[used - 1] == columnToFit) {
        --used;
    }
    std::string text;
    for (std::size_t i = 0; i < used; ++i) {
        if (i > 0) {
            text += ',';
        }
        if (widths[i] != columnToFit) {
            text += std::to_string(widths[i]);
        }
    }
    return text;
}

std::string orderText(const std::vector<int>& order) {
    std::string text;
    for (std::size_t i = 0; i < order.size(); ++i) {
        text += (i > 0 ? "," : "") + std::to_string(order[i]);
    }
    return text;
}

void readColumns(const XmlNode& columns, ViewState& view) {
    const std::optional<int> dpi =
        readNumber(columns.attribute("dpi", "96"), lowestDpi, highestDpi);
    if (dpi) {
        view.widthsDpi = *dpi;
        const std::string widths = columns.attribute("widths");
        for (std::string_view width : commaSeparated(widths)) {
            view.widths.push_back(readNumber(width, 0, widestColumn).value_or(columnToFit));
        }
    }
    const std::string order = columns.attribute("order");
    for (std::string_view column : commaSeparated(order)) {
        if (auto index = readNumber(column, 0, lastColumnIndex)) {
            view.order.push_back(*index);
        }
    }
}

void readSort(const XmlNode& sort, ViewState& view) {
    if (auto column = readNumber(sort.attribute("column"), 0, lastColumnIndex)) {
        view.sort = ListSort{*column, readFlag(sort.attribute("ascending")).value_or(true)};
    }
}

void readFilter(const XmlNode& filter, FilterBoxes& boxes) {
    auto flag = [&filter](const char* name, bool& target) {
        target = readFlag(filter.attribute(name)).value_or(target);
    };
    auto kind = [&filter](const char* name, int& target) {
        target = readNumber(filter.attribute(name), 0, kindCount - 1).value_or(target);
    };
    flag("services", boxes.services);
    kind("service-kind", boxes.serviceKind);
    flag("drivers", boxes.drivers);
    kind("driver-kind", boxes.driverKind);
    flag("active", boxes.active);
    flag("inactive", boxes.inactive);
    flag("microsoft", boxes.microsoft);
}

} // namespace

bool FilterBoxes::operator==(const FilterBoxes& other) const {
    return services == other.services && serviceKind == other.serviceKind &&
           drivers == other.drivers && driverKind == other.driverKind && active == other.active &&
           inactive == other.inactive && microsoft == other.microsoft;
}

bool ViewState::operator==(const ViewState& other) const {
    return widths == other.widths && (widths.empty() || widthsDpi == other.widthsDpi) &&
           order == other.order && sort == other.sort && filter == other.filter;
}

int scaleToDpi(int pixels, int fromDpi, int toDpi) {
    if (fromDpi <= 0 || fromDpi == toDpi) {
        return pixels;
    }
    const std::int64_t scaled = std::int64_t(pixels) * toDpi;
    return static_cast<int>((scaled + fromDpi / 2) / fromDpi);
}

std::vector<int> columnWidthsFor(const ViewState& view, int columnCount, int dpi) {
    std::vector<int> widths(static_cast<std::size_t>(std::max(columnCount, 0)), columnToFit);
    for (std::size_t i = 0; i < widths.size() && i < view.widths.size(); ++i) {
        if (view.widths[i] != columnToFit) {
            widths[i] = scaleToDpi(view.widths[i], view.widthsDpi, dpi);
        }
    }
    return widths;
}

std::vector<int> columnOrderFor(const ViewState& view, int columnCount) {
    std::vector<int> order;
    std::vector<bool> placed(static_cast<std::size_t>(std::max(columnCount, 0)), false);
    auto place = [&](int column) {
        if (column >= 0 && column < columnCount && !placed[static_cast<std::size_t>(column)]) {
            placed[static_cast<std::size_t>(column)] = true;
            order.push_back(column);
        }
    };
    for (int column : view.order) {
        place(column);
    }
    for (int column = 0; column < columnCount; ++column) {
        place(column);
    }
    return order;
}

std::optional<ListSort> sortFor(const ViewState& view, int columnCount) {
    if (view.sort && view.sort->column >= 0 && view.sort->column < columnCount) {
        return view.sort;
    }
    return std::nullopt;
}

void writeViewState(XmlStreamWriter& writer, const ViewState& view) {
    if (view == ViewState()) {
        return;
    }
    writer.createElement("view");
    const std::string widths = widthsText(view.widths);
    if (!widths.empty() || !view.order.empty()) {
        writer.createElement("columns");
        if (!widths.empty()) {
            writer.setAttribute("dpi", std::to_string(view.widthsDpi));
            writer.setAttribute("widths", widths);
        }
        if (!view.order.empty()) {
            writer.setAttribute("order", orderText(view.order));
        }
        writer.back();
    }
    if (view.sort) {
        writer.createElement("sort");
        writer.setAttribute("column", std::to_string(view.sort->column));
        writer.setAttribute("ascending", flagText(view.sort->ascending));
        writer.back();
    }
    const FilterBoxes& boxes = view.filter;
    writer.createElement("filter");
    writer.setAttribute("services", flagText(boxes.services));
    writer.setAttribute("service-kind", std::to_string(boxes.serviceKind));
    writer.setAttribute("drivers", flagText(boxes.drivers));
    writer.setAttribute("driver-kind", std::to_string(boxes.driverKind));
    writer.setAttribute("active", flagText(boxes.active));
    writer.setAttribute("inactive", flagText(boxes.inactive));
    writer.setAttribute("microsoft", flagText(boxes.microsoft));
    writer.back();
    writer.back();
}

ViewState readViewState(const XmlNode& root) {
    ViewState view;
    XmlCursor cursor(root);
    if (!cursor.goDown("view", 0)) {
        return view;
    }
    const XmlNode& element = cursor.current();
    if (const XmlNode* columns = firstChild(element, "columns")) {
        readColumns(*columns, view);
    }
    if (const XmlNode* sort = firstChild(element, "sort")) {
        readSort(*sort, view);
    }
    if (const XmlNode* filter = firstChild(element, "filter")) {
        readFilter(*filter, view.filter);
    }
    return view;
}

} // namespace kelvane
