#include "inventory/NeededBy.h"

#include "inventory/RowBuilder.h"
#include "inventory/ServiceColumns.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kelvane {

namespace {

using C = ServiceColumns;

std::string folded(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

// The items of a dependencies cell, as the row builder joined them.
template <typename Each> void forEachDependency(std::string_view list, Each&& each) {
    const std::string_view separator = listCellSeparator;
    while (!list.empty()) {
        const size_t end = list.find(separator);
        each(list.substr(0, end));
        list = end == std::string_view::npos ? std::string_view()
                                             : list.substr(end + separator.size());
    }
}

} // namespace

bool updateNeededBy(ServiceTable& table) {
    ServiceTable::Lock guard = table.lock();
    // Each list is in table order, since the rows are walked in it.
    std::unordered_map<std::string, std::vector<const SharedText*>> dependentsOf;
    for (const auto& entry : table.rows()) {
        const TableRow& row = entry.second;
        forEachDependency(row.cell(C::dependencies).text.view(), [&](std::string_view needed) {
            dependentsOf[folded(needed)].push_back(&row.cell(C::serviceName).text);
        });
    }

    const auto byText = [](const SharedText* a, const SharedText* b) { return *a < *b; };
    const auto sameText = [](const SharedText* a, const SharedText* b) { return *a == *b; };
    std::vector<TableRow> changed;
    std::vector<const SharedText*> names;
    for (const auto& entry : table.rows()) {
        const TableRow& row = entry.second;
        names.clear();
        const auto byName = dependentsOf.find(folded(row.cell(C::serviceName).text.view()));
        if (byName != dependentsOf.end()) {
            names = byName->second;
        }
        const SharedText& group = row.cell(C::loadOrderGroup).text;
        const auto byGroup =
            group.empty() ? dependentsOf.end() : dependentsOf.find("+" + folded(group.view()));
        if (byGroup != dependentsOf.end()) {
            const size_t middle = names.size();
            names.insert(names.end(), byGroup->second.begin(), byGroup->second.end());
            std::inplace_merge(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(middle),
                               names.end(), byText);
        }
        // A service may name another both ways, or twice.
        names.erase(std::unique(names.begin(), names.end(), sameText), names.end());

        std::string text;
        for (const SharedText* name : names) {
            appendListItem(text, name->view());
        }
        if (row.cell(C::neededBy).text.view() != text) {
            TableRow updated = row;
            updated.cells.resize(std::max<size_t>(updated.cells.size(), C::count));
            updated.cells[C::neededBy] = TableCell(SharedText(text));
            changed.push_back(std::move(updated));
        }
    }
    for (TableRow& row : changed) {
        table.addRow(std::move(row));
    }
    return !changed.empty();
}

} // namespace kelvane
