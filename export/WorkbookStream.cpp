// The record layer: lays out the globals and each sheet's records and writes
// them into one buffer, with every stream position filled in.
#include "export/SharedStrings.h"
#include "export/Workbook.h"

#include <algorithm>

namespace kelvane {

using namespace biff;

namespace {

constexpr size_t kRowsPerBlock = 32;
constexpr size_t kRowRecordSize = kRecordHeader + 16;
constexpr size_t kBofSize = kRecordHeader + 16;
constexpr size_t kDimensionsSize = kRecordHeader + 14;
constexpr size_t kWindow2Size = kRecordHeader + 18;
constexpr size_t kEofSize = kRecordHeader;

void putBof(Bytes& out, uint16_t type) {
    putHeader(out, kBof, 16);
    put16(out, 0x0600);
    put16(out, type);
    put16(out, 6560);
    put16(out, 1997);
    put32(out, 0xC0C9);
    put32(out, 0x0306);
}

void putWindow1(Bytes& out) {
    putHeader(out, kWindow1, 18);
    for (unsigned value : {120u, 120u, 15135u, 9300u, 0x38u, 0u, 0u, 1u, 600u}) {
        put16(out, value);
    }
}

void putFont(Bytes& out, const FontDescription& font) {
    Bytes data;
    put16(data, font.height);
    put16(data, font.options);
    put16(data, font.colour);
    put16(data, font.weight);
    put16(data, font.escapement);
    put8(data, font.underline);
    put8(data, font.family);
    put8(data, font.characterSet);
    put8(data, 0);
    std::u16string_view name = std::u16string_view(font.name).substr(0, 0xFF);
    put8(data, static_cast<unsigned>(name.size()));
    put8(data, 1);
    putCharacters(data, name, false);
    appendRecord(out, kFont, data);
}

void putFormat(Bytes& out, const NumberFormat& format) {
    Bytes data;
    put16(data, format.index);
    putLongString(data, format.text);
    appendRecord(out, kFormat, data);
}

void putXf(Bytes& out, const XfRecord& xf) {
    putHeader(out, kXf, 20);
    put16(out, xf.font);
    put16(out, xf.format);
    put16(out, xf.typeProtection);
    put8(out, xf.alignment);
    put8(out, xf.rotation);
    put8(out, xf.indent);
    put8(out, xf.usedAttributes);
    put32(out, xf.border1);
    put32(out, xf.border2);
    put16(out, xf.colours);
}

// The built-in styles on their XFs: Normal on 0, then comma, comma [0],
// currency, currency [0] and percent on 16 to 20.
void putStyles(Bytes& out) {
    const struct {
        unsigned xf, id;
    } styles[] = {{16, 3}, {17, 6}, {18, 4}, {19, 7}, {0, 0}, {20, 5}};
    for (auto style : styles) {
        putHeader(out, kStyle, 4);
        put16(out, 0x8000 | style.xf);
        put8(out, style.id);
        put8(out, 0xFF);
    }
}

void putBoundSheet(Bytes& out, const std::string& name, uint32_t position) {
    std::u16string wide(name.begin(), name.end());
    Bytes data;
    put32(data, position);
    put8(data, 0);
    put8(data, 0);
    putShortString(data, std::u16string_view(wide).substr(0, 31));
    appendRecord(out, kBoundSheet, data);
}

// A sheet's row blocks, built before the stream positions are known.
struct SheetBody {
    Bytes blocks;
    std::vector<size_t> dbCells; // offsets of the DBCELL records within `blocks`
    size_t rows = 0;
    size_t columns = 0;

    size_t indexSize() const { return kRecordHeader + 16 + 4 * dbCells.size(); }
    size_t size() const {
        return kBofSize + indexSize() + kDimensionsSize + blocks.size() + kWindow2Size + kEofSize;
    }
};

SheetBody buildBody(const Sheet& sheet, SharedStrings& strings) {
    SheetBody body;
    body.rows = sheet.rowCount();
    body.columns = sheet.columnCount();
    Bytes& out = body.blocks;
    out.reserve(body.rows * (kRowRecordSize + body.columns * 14) +
                (body.rows / kRowsPerBlock + 1) * (8 + 2 * kRowsPerBlock));
    std::vector<size_t> rowStarts;
    for (size_t first = 0; first < body.rows; first += kRowsPerBlock) {
        size_t count = std::min(kRowsPerBlock, body.rows - first);
        size_t blockStart = out.size();
        for (size_t r = first; r < first + count; ++r) {
            putHeader(out, kRow, 16);
            put16(out, static_cast<unsigned>(r));
            put16(out, 0);
            put16(out, static_cast<unsigned>(body.columns));
            put16(out, 255);
            put16(out, 0);
            put16(out, 0);
            put32(out, 0x0100);
        }
        rowStarts.clear();
        for (size_t r = first; r < first + count; ++r) {
            rowStarts.push_back(out.size());
            for (size_t c = 0; c < body.columns; ++c) {
                const Cell& cell = *sheet.find(static_cast<long>(r), static_cast<long>(c));
                bool text = cell.type == CellType::Text || cell.type == CellType::WideText;
                putHeader(out, text ? kLabelSst : kBlank, text ? 10 : 6);
                put16(out, static_cast<unsigned>(r));
                put16(out, static_cast<unsigned>(c));
                put16(out, cell.xf);
                if (text) {
                    put32(out, strings.use(cell.text, sheet.text(cell)));
                }
            }
        }
        size_t dbCell = out.size();
        body.dbCells.push_back(dbCell);
        putHeader(out, kDbCell, 4 + 2 * count);
        put32(out, static_cast<uint32_t>(dbCell - blockStart));
        put16(out, static_cast<unsigned>(rowStarts[0] - (blockStart + kRowRecordSize)));
        for (size_t i = 1; i < count; ++i) {
            put16(out, static_cast<unsigned>(rowStarts[i] - rowStarts[i - 1]));
        }
    }
    return body;
}

void putSheet(Bytes& out, const SheetBody& body, bool first) {
    size_t start = out.size();
    putBof(out, 0x0010);
    putHeader(out, kIndex, 16 + 4 * body.dbCells.size());
    put32(out, 0);
    put32(out, 0);
    put32(out, static_cast<uint32_t>(body.rows));
    put32(out, 0);
    size_t blocksStart = start + kBofSize + body.indexSize() + kDimensionsSize;
    for (size_t dbCell : body.dbCells) {
        put32(out, static_cast<uint32_t>(blocksStart + dbCell));
    }
    putHeader(out, kDimensions, 14);
    put32(out, 0);
    put32(out, static_cast<uint32_t>(body.rows));
    put16(out, 0);
    put16(out, static_cast<unsigned>(body.columns));
    put16(out, 0);
    out.insert(out.end(), body.blocks.begin(), body.blocks.end());
    putHeader(out, kWindow2, 18);
    put16(out, first ? 0x06B6 : 0x06B6 & ~0x0200);
    put16(out, 0);
    put16(out, 0);
    put16(out, 64);
    for (int i = 0; i < 3; ++i) {
        put16(out, 0);
    }
    put32(out, 0);
    putHeader(out, kEof, 0);
}

} // namespace

Bytes Workbook::buildStream() const {
    SharedStrings strings;
    std::vector<SheetBody> bodies;
    for (const auto& sheet : sheets_) {
        bodies.push_back(buildBody(*sheet, strings));
    }

    Bytes sst;
    std::vector<size_t> sstSplits;
    strings.build(sst, sstSplits);

    Bytes globals;
    putBof(globals, 0x0005);
    putWindow1(globals);
    for (const auto& font : fonts_) {
        putFont(globals, font);
    }
    for (const auto& format : numberFormats_) {
        putFormat(globals, format);
    }
    for (const auto& xf : xfs_) {
        putXf(globals, xf);
    }
    putStyles(globals);
    std::vector<size_t> boundSheetAt;
    for (const auto& sheet : sheets_) {
        boundSheetAt.push_back(globals.size() + kRecordHeader);
        putBoundSheet(globals, sheet->name(), 0);
    }
    appendRecord(globals, kSst, sst, sstSplits);
    putHeader(globals, kEof, 0);

    size_t total = globals.size();
    for (size_t i = 0; i < bodies.size(); ++i) {
        patch32(globals, boundSheetAt[i], static_cast<uint32_t>(total));
        total += bodies[i].size();
    }

    Bytes stream;
    stream.reserve(total);
    stream.insert(stream.end(), globals.begin(), globals.end());
    for (size_t i = 0; i < bodies.size(); ++i) {
        putSheet(stream, bodies[i], i == 0);
        Bytes().swap(bodies[i].blocks);
    }
    return stream;
}

} // namespace kelvane
