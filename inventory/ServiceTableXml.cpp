#include "inventory/ServiceTableXml.h"

#include "framework/Exception.h"
#include "xml/XmlNode.h"
#include "xml/XmlStreamWriter.h"

#include <algorithm>
#include <cstdlib>

namespace kelvane {

void writeXml(const ServiceTable& table, XmlStreamWriter& writer) {
    ServiceTable::Lock guard = table.lock();
    std::vector<const ColumnInfo*> stored;
    for (const auto& entry : table.columns()) {
        if (entry.second.persist) {
            stored.push_back(&entry.second);
        }
    }
    for (const auto& entry : table.rows()) {
        writer.createElement("row");
        for (const ColumnInfo* column : stored) {
            const SharedText& text = entry.second.cell(column->index).text;
            if (!text.empty()) {
                writer.setAttribute(column->name, text.str());
            }
        }
        writer.back();
    }
}

namespace {

TableCell cellFromText(const std::string& text, ColumnType type) {
    switch (type) {
    case ColumnType::Integer:
        // Stored without leading zeros or anything after the number.
        return TableCell::integer(TableCell::fromText(SharedText(text), type).intValue());
    case ColumnType::Real:
        return TableCell::real(std::strtod(text.c_str(), nullptr));
    default:
        return TableCell(SharedText(text));
    }
}

} // namespace

void readXml(ServiceTable& table, const XmlNode& node) {
    ServiceTable::Lock guard = table.lock();
    int32_t width = 0;
    for (const auto& entry : table.columns()) {
        width = std::max(width, entry.second.index + 1);
    }
    for (const auto& child : node.children) {
        if (child->name != "row") {
            continue;
        }
        TableRow row;
        row.cells.resize(static_cast<size_t>(width));
        for (const auto& [name, value] : child->attributes) {
            const ColumnInfo* column = table.findColumn(name);
            if (!column || column->index < 0) {
                throw Plinth::UserException("column not found");
            }
            row.cells[static_cast<size_t>(column->index)] = cellFromText(value, column->type);
        }
        table.addRow(std::move(row));
    }
}

} // namespace kelvane
