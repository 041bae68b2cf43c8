#include "export/Workbook.h"
#include "export/CompoundDocument.h"

#include <algorithm>
#include <new>

namespace kelvane {

uint32_t TextPool::intern(std::u16string text) {
    auto found = ids_.find(text);
    if (found != ids_.end()) {
        return found->second;
    }
    auto id = static_cast<uint32_t>(texts_.size());
    auto inserted = ids_.emplace(std::move(text), id).first;
    texts_.push_back(&inserted->first);
    return id;
}

Cell* Sheet::cell(long row, long column) {
    if (row < 0 || row >= kMaxSheetRows || column < 0 || column >= kMaxSheetColumns) {
        return nullptr;
    }
    auto wantedColumns = std::max(columnCount_, static_cast<size_t>(column) + 1);
    if (wantedColumns > columnCount_) {
        columnCount_ = wantedColumns;
        for (auto& cells : rows_) {
            cells.resize(columnCount_);
        }
    }
    if (static_cast<size_t>(row) >= rows_.size()) {
        rows_.resize(row + 1, std::vector<Cell>(columnCount_));
    }
    return &rows_[row][column];
}

const Cell* Sheet::find(long row, long column) const {
    if (row < 0 || column < 0 || static_cast<size_t>(row) >= rows_.size() ||
        static_cast<size_t>(column) >= columnCount_) {
        return nullptr;
    }
    return &rows_[row][column];
}

bool Sheet::setText(long row, long column, std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        text.push_back(static_cast<unsigned char>(c));
    }
    Cell* target = cell(row, column);
    if (!target) {
        return false;
    }
    if (text.empty()) {
        target->type = CellType::Empty;
        return true;
    }
    text.resize(std::min(text.size(), kMaxCellCharacters));
    target->type = CellType::Text;
    target->text = pool_->intern(std::move(text));
    return true;
}

bool Sheet::setText(long row, long column, std::u16string_view text) {
    Cell* target = cell(row, column);
    if (!target) {
        return false;
    }
    if (text.empty()) {
        target->type = CellType::Empty;
        return true;
    }
    text = text.substr(0, kMaxCellCharacters);
    // Never leave half a surrogate pair at the cut.
    if (text.size() == kMaxCellCharacters && text.back() >= 0xD800 && text.back() < 0xDC00) {
        text.remove_suffix(1);
    }
    target->type = CellType::WideText;
    target->text = pool_->intern(std::u16string(text));
    return true;
}

bool Sheet::setXf(long row, long column, uint16_t xf) {
    Cell* target = cell(row, column);
    if (!target) {
        return false;
    }
    target->xf = xf;
    return true;
}

bool FontDescription::operator==(const FontDescription& other) const {
    return name == other.name && height == other.height && weight == other.weight &&
           options == other.options && colour == other.colour && escapement == other.escapement &&
           underline == other.underline && family == other.family &&
           characterSet == other.characterSet;
}

namespace {

// XFs 0 to 14 are style XFs, 15 the default cell XF, 16 to 20 the styles of
// the built-in number formats (comma, comma [0], currency, currency [0],
// percent).
std::vector<XfRecord> defaultXfs() {
    std::vector<XfRecord> xfs(21);
    xfs[kDefaultCellXf].typeProtection = 0x0001; // locked, parent style XF 0
    const uint16_t styleFormats[] = {43, 41, 44, 42, 9};
    for (int i = 0; i < 5; ++i) {
        xfs[16 + i].format = styleFormats[i];
    }
    return xfs;
}

} // namespace

Workbook::Workbook(int sheetCount) : fonts_(1), xfs_(defaultXfs()) {
    sheets_.push_back(std::make_unique<Sheet>("Sheet1", pool_));
    for (int i = 1; i < sheetCount; ++i) {
        addSheet();
    }
}

Sheet& Workbook::addSheet() {
    for (size_t n = sheets_.size() + 1;; ++n) {
        std::string name = "Sheet" + std::to_string(n);
        bool taken = std::any_of(sheets_.begin(), sheets_.end(),
                                 [&](const auto& sheet) { return sheet->name() == name; });
        if (!taken) {
            sheets_.push_back(std::make_unique<Sheet>(name, pool_));
            return *sheets_.back();
        }
    }
}

bool Workbook::save(const std::string& fileName) const {
    biff::Bytes stream;
    try {
        stream = buildStream();
    } catch (const std::bad_alloc&) {
        return false;
    }
    return writeCompoundDocument(fileName, "Workbook", stream);
}

} // namespace kelvane
