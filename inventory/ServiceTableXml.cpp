#include "inventory/ServiceTableXml.h"

#include "framework/Exception.h"
#include "xml/XmlNode.h"
#include "xml/XmlStreamWriter.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

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

// The short names and values of a baseline compare quicker in place, a
// word at a time, than through a library call, made some ten times per row.
inline bool sameText(std::string_view a, std::string_view b) {
    const size_t n = a.size();
    if (n != b.size()) {
        return false;
    }
    auto same = [&](size_t at, size_t width) {
        uint64_t x = 0, y = 0;
        std::memcpy(&x, a.data() + at, width);
        std::memcpy(&y, b.data() + at, width);
        return x == y;
    };
    if (n >= 8 && n <= 16) {
        return same(0, 8) && same(n - 8, 8); // two words that overlap
    }
    if (n >= 4 && n < 8) {
        return same(0, 4) && same(n - 4, 4);
    }
    return n < 4 ? a == b : std::memcmp(a.data(), b.data(), n) == 0;
}

// Most columns of a baseline hold a handful of values (accounts, states,
// types): the cells of one column share one buffer per value. A column with
// more distinct values than the pool holds is mostly unique texts, which
// gain nothing from it.
// New texts are made in the batch of the whole load.
class TextPool {
public:
    explicit TextPool(SharedTextBatch& batch) : batch_(&batch) {}

    SharedText get(std::string_view text) {
        if (text.size() > maxPooledSize || pool_.size() >= maxEntries) {
            return batch_->make(text);
        }
        for (const SharedText& pooled : pool_) {
            if (sameText(pooled.view(), text)) {
                return pooled;
            }
        }
        pool_.push_back(batch_->make(text));
        return pool_.back();
    }
    SharedText make(std::string_view text) { return batch_->make(text); }

private:
    static constexpr size_t maxPooledSize = 40;
    static constexpr size_t maxEntries = 16;
    SharedTextBatch* batch_;
    std::vector<SharedText> pool_;
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

// Digits alone, without a leading zero, and few enough to fit: the text is
// the number's own "%d" form.
bool isPlainNumber(std::string_view text) {
    if (text.empty() || text.size() > 9 || (text[0] == '0' && text.size() > 1)) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

TableCell integerCell(std::string_view text, TextPool& pool) {
    // Stored without leading zeros or anything after the number; a text in
    // that form already (the usual case) is kept as it is.
    const int32_t value = leadingInteger(text);
    if (isPlainNumber(text)) {
        return TableCell(pool.get(text), value);
    }
    char buffer[16];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    const std::string_view canonical(buffer, static_cast<size_t>(end - buffer));
    return TableCell(sameText(canonical, text) ? pool.get(text) : pool.make(canonical), value);
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
    SharedTextBatch batch;
    std::vector<TextPool> pools(static_cast<size_t>(width), TextPool(batch));
    for (const auto& child : node.children) {
        if (!sameText(child->name, "row")) {
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
            if (!column || !sameText(column->name, name)) {
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
