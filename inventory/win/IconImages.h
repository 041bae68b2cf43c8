#pragma once
// 16 x 16 icons between the platform's forms (icon handles, image lists,
// image files) and the IconImage the cache stores.
#include "framework/win/UniqueHandle.h"
#include "inventory/IconCacheFormat.h"

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>

namespace kelvane {

namespace detail {
inline void destroyImageList(HIMAGELIST list) {
    ImageList_Destroy(list);
}
} // namespace detail

using UniqueImageList = Plinth::UniqueHandle<HIMAGELIST, detail::destroyImageList>;

// A list of 32-bit 16 x 16 icons with masks and no background colour,
// holding the eight class icons of bitmap 132 (mask colour RGB 25, 0, 0).
// Blank images stand in when the bitmap cannot be had, so appended icons
// keep their indexes.
UniqueImageList createClassIconList();

// The icon's pixels and mask, scaled to 16 x 16 when it has another size.
std::optional<IconImage> iconImage(HICON icon);

// Image index in list, or -1.
int addIconImage(HIMAGELIST list, const IconImage& image);

// The first small icon of an image file (ExtractIconExA, index 0, one icon).
std::optional<IconImage> extractSmallIcon(const std::string& path);

} // namespace kelvane
