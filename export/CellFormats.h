#pragma once
// The format layer: turns cell formats into FONT, FORMAT and XF records of a
// workbook, finding an equal record before it makes a new one.
#include "export/Workbook.h"

#include <string>

namespace kelvane {

struct CellFormat {
    uint16_t font = 0;
    uint16_t numberFormat = 0;
    uint8_t alignment = 0x20; // vertical bottom
    uint8_t rotation = 0;
    uint8_t indent = 0;
    uint32_t border1 = 0;
    uint32_t border2 = 0;
    uint16_t colours = 0x20C0;
    // The XF index once computed; valid for the workbook that computed it.
    int cachedXf = -1;
};

class CellFormats {
public:
    explicit CellFormats(Workbook& workbook) : workbook_(workbook) {}

    uint16_t fontIndex(const FontDescription& font);
    // Built-in formats by their standard texts, then the workbook's own;
    // a new text gets the next index from 164 on.
    uint16_t numberFormatIndex(const std::u16string& text);
    // Cells may only refer to cell XFs, so style XFs are never returned.
    uint16_t xfIndex(CellFormat& format);

private:
    Workbook& workbook_;
};

} // namespace kelvane
