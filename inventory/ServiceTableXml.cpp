#include "inventory/ServiceTableXml.h"

#include "framework/Exception.h"
#include "xml/XmlNode.h"
#include "xml/XmlStreamWriter.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <unordered_map>

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
            if (!text.empty() || column->optionalInBaseline) {
                writer.setAttribute(column->name, text.str());
            }
        }
        writer.back();
    }
}

namespace {

// Most columns of a baseline hold a handful of values (accounts, states,
// types): the cells of one column share one buffer per value. A column with
// more distinct values than the pool holds is mostly unique texts, which
// gain nothing from it.
class TextPool {
public:
    SharedText get(std::string_view text) {
        if (text.size() > maxPooledSize || pool_.size() >= maxEntries) {
            return SharedText(text);
        }
        auto found = pool_.find(text);
        if (found != pool_.end()) {
            return found->second;
        }
        SharedText shared(text);
        pool_.emplace(shared.view(), shared); // the key lies in the kept text
        return shared;
    }

private:
    static constexpr size_t maxPooledSize = 40;
    static constexpr size_t maxEntries = 64;
    std::unordered_map<std::string_view, SharedText> pool_;
};

// The leading decimal number as the C library reads it (blanks, a sign,
// digits; none gives 0), held within 32 bits.
int32_t leadingInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), int64_t(INT32_MAX) + 1);
    }
    value = negative ? -value : value;
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

TableCell integerCell(std::string_view text, TextPool& pool) {
    // Stored without leading zeros or anything after the number; a text in
    // that form already (the usual case) is kept as it is.
    const int32_t value = leadingInteger(text);
    char buffer[16];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    const std::string_view canonical(buffer, static_cast<size_t>(end - buffer));
    return TableCell(canonical == text ? pool.get(text) : SharedText(canonical), value);
}

TableCell cellFromText(std::string_view text, ColumnType type, TextPool& pool) {
    switch (type) {
    case ColumnType::Integer:
        return integerCell(text, pool);
    case ColumnType::Real:
        return TableCell::real(std::strtod(std::string(text).c_str(), nullptr));
    default:
        return TableCell(pool.get(text));
    }
}

} // namespace

void readXml(ServiceTable& table, const XmlNode& node) {
    ServiceTable::Lock guard = table.lock();
    int32_t width = 0;
    uint32_t optional = 0;
    for (const auto& entry : table.columns()) {
        width = std::max(width, entry.second.index + 1);
        if (entry.second.optionalInBaseline && entry.second.index < 32) {
            optional |= uint32_t{1} << entry.second.index;
        }
    }
    // Rows name the same columns in the same order: the column found for
    // each attribute position is tried first for the next row.
    std::vector<const ColumnInfo*> recent;
    std::vector<TextPool> pools(static_cast<size_t>(width));
    for (const auto& child : node.children) {
        if (child->name != "row") {
            continue;
        }
        TableRow row;
        row.cells.resize(static_cast<size_t>(width));
        size_t position = 0;
        uint32_t carried = 0;
        for (const auto& [name, value] : child->attributes) {
            if (recent.size() <= position) {
                recent.resize(position + 1, nullptr);
            }
            const ColumnInfo*& column = recent[position++];
            if (!column || column->name != name) {
                column = table.findColumn(std::string(name));
            }
            if (!column || column->index < 0) {
                throw Plinth::UserException("column not found");
            }
            row.cells[static_cast<size_t>(column->index)] =
                cellFromText(value, column->type, pools[static_cast<size_t>(column->index)]);
            if (column->index < 32) {
                carried |= uint32_t{1} << column->index;
            }
        }
        row.absentColumns = optional & ~carried;
        table.addRow(std::move(row));
    }
}

} // namespace kelvane
