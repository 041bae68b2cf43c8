#pragma once
// An Excel 97 workbook: sheets of cells addressed by row and column, the
// fonts, number formats and XF records the cells refer to, and the BIFF8
// "Workbook" stream built from them.
#include "export/BiffRecord.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kelvane {

constexpr long kMaxSheetRows = 65536;
constexpr long kMaxSheetColumns = 256;
// Excel keeps at most this many characters in a cell; longer texts are cut.
constexpr size_t kMaxCellCharacters = 32767;
// The XF of a cell whose format was never set: the workbook's default cell XF.
constexpr uint16_t kDefaultCellXf = 15;

enum class CellType : uint8_t {
    Empty = 0,
    Integer = 1,
    Float = 2,
    Text = 3,
    WideText = 4,
    Formula = 5
};

struct Cell {
    CellType type = CellType::Empty;
    uint16_t xf = kDefaultCellXf;
    uint32_t text = 0; // the workbook's pooled text, for the string types
};

// Equal texts are held once; cells refer to them by number.
class TextPool {
public:
    uint32_t intern(std::u16string text);
    const std::u16string& text(uint32_t id) const { return *texts_[id]; }

private:
    std::unordered_map<std::u16string, uint32_t> ids_;
    std::vector<const std::u16string*> texts_;
};

class Sheet {
public:
    Sheet(std::string name, TextPool& pool) : name_(std::move(name)), pool_(&pool) {}

    const std::string& name() const { return name_; }
    size_t rowCount() const { return rows_.size(); }
    size_t columnCount() const { return columnCount_; }

    // The cell, created on first use; the sheet grows to a rectangle holding
    // it. None outside rows 0 to 65535 and columns 0 to 255.
    Cell* cell(long row, long column);
    const Cell* find(long row, long column) const;

    // 8-bit text kept byte for byte (each byte one character below U+0100);
    // an empty text empties the cell. False outside the sheet.
    bool setText(long row, long column, std::string_view bytes);
    bool setText(long row, long column, std::u16string_view text);
    bool setXf(long row, long column, uint16_t xf);

    const std::u16string& text(const Cell& cell) const { return pool_->text(cell.text); }

private:
    std::string name_;
    TextPool* pool_;
    std::vector<std::vector<Cell>> rows_;
    size_t columnCount_ = 0;
};

struct FontDescription {
    std::u16string name = u"Arial";
    uint16_t height = 200; // twentieths of a point
    uint16_t weight = 400;
    uint16_t options = 0;
    uint16_t colour = 0x7FFF;
    uint16_t escapement = 0;
    uint8_t underline = 0;
    uint8_t family = 0;
    uint8_t characterSet = 0;

    bool operator==(const FontDescription& other) const;
};

struct XfRecord {
    uint16_t font = 0;
    uint16_t format = 0;
    uint16_t typeProtection = 0xFFF5; // style XF
    uint8_t alignment = 0x20;         // vertical bottom
    uint8_t rotation = 0;
    uint8_t indent = 0;
    uint8_t usedAttributes = 0;
    uint32_t border1 = 0;
    uint32_t border2 = 0;
    uint16_t colours = 0x20C0;

    bool isStyle() const { return (typeProtection & 0x0004) != 0; }
};

struct NumberFormat {
    uint16_t index;
    std::u16string text;
};

class Workbook {
public:
    explicit Workbook(int sheetCount = 1);
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    size_t sheetCount() const { return sheets_.size(); }
    Sheet& sheet(size_t index) { return *sheets_.at(index); }
    const Sheet& sheet(size_t index) const { return *sheets_.at(index); }
    // Named "Sheet<n>" with the smallest n above the sheet count not in use.
    Sheet& addSheet();

    // The format layer keeps these; their order gives the indexes.
    std::vector<FontDescription>& fonts() { return fonts_; }
    std::vector<NumberFormat>& numberFormats() { return numberFormats_; }
    std::vector<XfRecord>& xfs() { return xfs_; }
    const std::vector<XfRecord>& xfs() const { return xfs_; }

    // The whole "Workbook" stream.
    biff::Bytes buildStream() const;

    // Writes the stream into a new compound document; false when it could
    // not be built or written.
    bool save(const std::string& fileName) const;

private:
    TextPool pool_;
    std::deque<std::unique_ptr<Sheet>> sheets_;
    std::vector<FontDescription> fonts_;
    std::vector<NumberFormat> numberFormats_; // only those from 164 on
    std::vector<XfRecord> xfs_;
};

// The index of the FONT record at list position p: BIFF8 has no font 4.
inline uint16_t fontIndexOfPosition(size_t position) {
    return static_cast<uint16_t>(position < 4 ? position : position + 1);
}

} // namespace kelvane
