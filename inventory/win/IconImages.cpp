#include "inventory/win/IconImages.h"

#include "framework/win/ModuleResources.h"
#include "inventory/IconCatalog.h"
#include "resources/ResourceIds.h"

#include <shellapi.h>

#include <cstring>

namespace kelvane {

namespace {

constexpr int side = IconImage::size;
constexpr COLORREF classIconMask = RGB(25, 0, 0);

struct ColourInfo {
    BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), side, -side, 1, 32, BI_RGB};
};

struct MaskInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
};

class ScreenDc {
public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc() {
        if (dc_) {
            ReleaseDC(nullptr, dc_);
        }
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// Rows of a monochrome bitmap, rows rows from the top, packed to two bytes
// each; 1 for the white pixels.
bool readMaskRows(HDC dc, HBITMAP bitmap, int rows, std::uint8_t* packed) {
    MaskInfo info{};
    info.header = {sizeof(BITMAPINFOHEADER), side, -rows, 1, 1, BI_RGB};
    std::uint32_t lines[2 * side] = {}; // DIB rows are four bytes wide
    if (GetDIBits(dc, bitmap, 0, static_cast<UINT>(rows), lines,
                  reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) != rows) {
        return false;
    }
    bool whiteIsOne = info.colours[1].rgbRed != 0;
    for (int row = 0; row < rows; ++row) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&lines[row]);
        for (int i = 0; i < IconImage::maskRowBytes; ++i) {
            packed[row * IconImage::maskRowBytes + i] =
                whiteIsOne ? bytes[i] : static_cast<std::uint8_t>(~bytes[i]);
        }
    }
    return true;
}

std::optional<IconImage> exactIconImage(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) {
        return std::nullopt;
    }
    Plinth::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP maskSize{};
    if (!mask || !GetObjectA(mask.get(), sizeof maskSize, &maskSize) || maskSize.bmWidth != side ||
        maskSize.bmHeight != (colour ? side : 2 * side)) {
        return std::nullopt;
    }
    ScreenDc dc;
    IconImage image;
    if (colour) {
        ColourInfo colourInfo;
        if (GetDIBits(dc.get(), colour.get(), 0, side, image.colour.data(),
                      reinterpret_cast<BITMAPINFO*>(&colourInfo), DIB_RGB_COLORS) != side) {
            return std::nullopt;
        }
        if (!readMaskRows(dc.get(), mask.get(), side, image.mask.data())) {
            return std::nullopt;
        }
        return image;
    }
    // A monochrome icon: the AND mask above, the XOR image below.
    std::uint8_t both[2 * side * IconImage::maskRowBytes];
    if (!readMaskRows(dc.get(), mask.get(), 2 * side, both)) {
        return std::nullopt;
    }
    std::memcpy(image.mask.data(), both, image.mask.size());
    for (int pixel = 0; pixel < side * side; ++pixel) {
        int bit = both[image.mask.size() + pixel / 8] >> (7 - pixel % 8) & 1;
        image.colour[static_cast<std::size_t>(pixel)] = bit ? 0x00FFFFFFu : 0;
    }
    return image;
}

} // namespace

UniqueImageList createClassIconList() {
    UniqueImageList list(
        ImageList_Create(side, side, ILC_COLOR32 | ILC_MASK, IconCatalog::classIconCount, 32));
    if (!list) {
        return list;
    }
    Plinth::UniqueBitmap strip(
        static_cast<HBITMAP>(LoadImageA(Plinth::resourceModule(), MAKEINTRESOURCEA(IDB_CLASS_ICONS),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (strip) {
        ImageList_AddMasked(list.get(), strip.get(), classIconMask);
    }
    IconImage blank;
    blank.mask.fill(0xFF);
    while (ImageList_GetImageCount(list.get()) < IconCatalog::classIconCount &&
           addIconImage(list.get(), blank) != -1) {
    }
    ImageList_SetBkColor(list.get(), CLR_NONE);
    return list;
}

std::optional<IconImage> iconImage(HICON icon) {
    if (!icon) {
        return std::nullopt;
    }
    if (std::optional<IconImage> image = exactIconImage(icon)) {
        return image;
    }
    Plinth::UniqueIcon scaled(static_cast<HICON>(CopyImage(icon, IMAGE_ICON, side, side, 0)));
    return scaled ? exactIconImage(scaled.get()) : std::nullopt;
}

int addIconImage(HIMAGELIST list, const IconImage& image) {
    ColourInfo info;
    void* bits = nullptr;
    Plinth::UniqueBitmap colour(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info),
                                                 DIB_RGB_COLORS, &bits, nullptr, 0));
    Plinth::UniqueBitmap mask(CreateBitmap(side, side, 1, 1, image.mask.data()));
    if (!colour || !bits || !mask) {
        return -1;
    }
    std::memcpy(bits, image.colour.data(), sizeof image.colour);
    GdiFlush();
    return ImageList_Add(list, colour.get(), mask.get());
}

std::optional<IconImage> extractSmallIcon(const std::string& path) {
    HICON small = nullptr;
    UINT extracted = ExtractIconExA(path.c_str(), 0, nullptr, &small, 1);
    Plinth::UniqueIcon icon(small);
    if (extracted != 1 || !icon) {
        return std::nullopt;
    }
    return iconImage(icon.get());
}

} // namespace kelvane
