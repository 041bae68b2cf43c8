// The icon cache files are read back at every start, whatever a crash, a
// full disk or another program left in them.
#include "inventory/IconCacheFormat.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // What the paths file reading keeps is written and read back unchanged.
    kelvane::IconIndexes indexes = kelvane::parseImagePaths(bytes);
    if (kelvane::parseImagePaths(kelvane::writeImagePaths(indexes)) != indexes)
        __builtin_trap();

    // An image block is taken only whole, and then it is exactly what
    // writing its images gives.
    if (auto images = kelvane::decodeIconImages(bytes, 8)) {
        if (kelvane::encodeIconImages(8, *images) != bytes)
            __builtin_trap();
    }
    return 0;
}
