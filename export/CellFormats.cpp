#include "export/CellFormats.h"

#include <algorithm>

namespace kelvane {

namespace {

constexpr uint16_t kFirstCustomFormat = 164;
// Cell XFs made here: unlocked, parent style XF 7.
constexpr uint16_t kCellXfTypeProtection = 0x0078;

const NumberFormat kBuiltInFormats[] = {
    {0, u"General"},
    {1, u"0"},
    {2, u"0.00"},
    {3, u"#,##0"},
    {4, u"#,##0.00"},
    {5, u"\"$\"#,##0_);(\"$\"#,##0)"},
    {6, u"\"$\"#,##0_);[Red](\"$\"#,##0)"},
    {7, u"\"$\"#,##0.00_);(\"$\"#,##0.00)"},
    {8, u"\"$\"#,##0.00_);[Red](\"$\"#,##0.00)"},
    {9, u"0%"},
    {10, u"0.00%"},
    {11, u"0.00E+00"},
    {12, u"# ?/?"},
    {13, u"# ?\?/?\?"},
    {14, u"M/D/YY"},
    {15, u"D-MMM-YY"},
    {16, u"D-MMM"},
    {17, u"MMM-YY"},
    {18, u"h:mm AM/PM"},
    {19, u"h:mm:ss AM/PM"},
    {20, u"h:mm"},
    {21, u"h:mm:ss"},
    {22, u"M/D/YY h:mm"},
    {37, u"#,##0_);(#,##0)"},
    {38, u"#,##0_);[Red](#,##0)"},
    {39, u"#,##0.00_);(#,##0.00)"},
    {40, u"#,##0.00_);[Red](#,##0.00)"},
    {41, u"_(* #,##0_);_(* (#,##0);_(* \"-\"_);_(@_)"},
    {42, u"_(\"$\"* #,##0_);_(\"$\"* (#,##0);_(\"$\"* \"-\"_);_(@_)"},
    {43, u"_(* #,##0.00_);_(* (#,##0.00);_(* \"-\"??_);_(@_)"},
    {44, u"_(\"$\"* #,##0.00_);_(\"$\"* (#,##0.00);_(\"$\"* \"-\"??_);_(@_)"},
    {45, u"mm:ss"},
    {46, u"[h]:mm:ss"},
    {47, u"mm:ss.0"},
    {48, u"##0.0E+0"},
    {49, u"@"},
};

} // namespace

uint16_t CellFormats::fontIndex(const FontDescription& font) {
    auto& fonts = workbook_.fonts();
    auto found = std::find(fonts.begin(), fonts.end(), font);
    if (found == fonts.end()) {
        fonts.push_back(font);
        found = fonts.end() - 1;
    }
    return fontIndexOfPosition(found - fonts.begin());
}

uint16_t CellFormats::numberFormatIndex(const std::u16string& text) {
    for (const auto& format : kBuiltInFormats) {
        if (format.text == text) {
            return format.index;
        }
    }
    auto& formats = workbook_.numberFormats();
    uint16_t next = kFirstCustomFormat;
    for (const auto& format : formats) {
        if (format.text == text) {
            return format.index;
        }
        next = std::max<uint16_t>(next, format.index + 1);
    }
    formats.push_back({next, text});
    return next;
}

uint16_t CellFormats::xfIndex(CellFormat& format) {
    if (format.cachedXf >= 0) {
        return static_cast<uint16_t>(format.cachedXf);
    }
    XfRecord wanted;
    wanted.font = format.font;
    wanted.format = format.numberFormat;
    wanted.typeProtection = kCellXfTypeProtection;
    wanted.alignment = format.alignment;
    wanted.rotation = format.rotation;
    wanted.indent = format.indent;
    wanted.border1 = format.border1;
    wanted.border2 = format.border2;
    wanted.colours = format.colours;
    auto& xfs = workbook_.xfs();
    auto found = std::find_if(xfs.begin(), xfs.end(), [&](const XfRecord& xf) {
        return !xf.isStyle() && xf.font == wanted.font && xf.format == wanted.format &&
               xf.alignment == wanted.alignment && xf.rotation == wanted.rotation &&
               xf.indent == wanted.indent && xf.border1 == wanted.border1 &&
               xf.border2 == wanted.border2 && xf.colours == wanted.colours;
    });
    if (found == xfs.end()) {
        xfs.push_back(wanted);
        found = xfs.end() - 1;
    }
    format.cachedXf = static_cast<int>(found - xfs.begin());
    return static_cast<uint16_t>(format.cachedXf);
}

} // namespace kelvane
