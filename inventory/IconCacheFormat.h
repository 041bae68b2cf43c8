#pragma once
// The two icon cache files between runs: the image paths file (text, one
// "index path" line per image file) and the image list file (the icons that
// extraction appended after the class icons). The indexes of the one are
// positions in the other, so the files are only ever used as a pair.
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

struct IconCacheFiles {
    std::string imageList; // empty: nothing is read or saved
    std::string imagePaths;
};

// "%s\Dunmere\kelvane-imagelist.dat" and "%s\Dunmere\kelvane-imagepaths.txt".
IconCacheFiles iconCacheFiles(const std::string& localAppDataFolder);

// Image file path to image list index; -1: no icon could be extracted (yet).
using IconIndexes = std::map<std::string, std::int32_t>;

// One 16 x 16 image as the image list holds it.
struct IconImage {
    static constexpr int size = 16;
    static constexpr int maskRowBytes = 2;
    // Top-down rows of 0xAARRGGBB pixels (BGRA in memory).
    std::array<std::uint32_t, size * size> colour{};
    // Top-down rows of one bit per pixel, high bit first; 1 is transparent.
    std::array<std::uint8_t, size * maskRowBytes> mask{};

    bool operator==(const IconImage& other) const {
        return colour == other.colour && mask == other.mask;
    }
};

// "%d %s\n" per entry, in map order.
std::string writeImagePaths(const IconIndexes& indexes);
// Per line: white space, a decimal number, white space, the rest of the line
// as the path. Lines without a number, with an index below -1, with an empty
// path or with a path over 1023 characters are left out; a later line for
// the same path wins.
IconIndexes parseImagePaths(std::string_view text);

// The appended images with the index of the first, in a versioned form
// whose sizes are checked on reading.
std::string encodeIconImages(std::int32_t firstIndex, const std::vector<IconImage>& images);
// Nothing when the bytes are not exactly one such block of firstIndex.
std::optional<std::vector<IconImage>> decodeIconImages(std::string_view bytes,
                                                       std::int32_t firstIndex);

} // namespace kelvane
