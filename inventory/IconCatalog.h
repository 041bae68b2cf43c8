#pragma once
// Which image file shows which icon: the icon index map and the images that
// extraction appended after the class icons, shared by the icon updater's
// thread (which extracts and appends) and the window's thread (which shows
// them). Its own lock is held only for single lookups and copies.
#include "inventory/IconCacheFormat.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace kelvane {

// The file access the cache needs; the platform's, or a test's stand-in.
class IconCacheStorage {
public:
    virtual ~IconCacheStorage() = default;
    // The whole file; nothing when it cannot be read.
    virtual std::optional<std::string> readFile(const std::string& path) = 0;
    // Creates the file anew (with its folder) holding exactly bytes.
    virtual bool writeNewFile(const std::string& path, const std::string& bytes) = 0;
    virtual void removeFile(const std::string& path) = 0;
};

class IconCatalog {
public:
    // Indexes 0 to 7 of the image list: kernel driver, file system driver,
    // service and other, each not running and running.
    static constexpr std::int32_t classIconCount = 8;

    // The stored index of path; an absent path is entered with -1.
    std::int32_t lookup(const std::string& path);
    // Appends the icon of path; its index, which the map now holds.
    std::int32_t append(const std::string& path, const IconImage& image);

    // Class icons and appended ones.
    std::int32_t imageCount() const;
    // The appended images from list index first on.
    std::vector<IconImage> imagesFrom(std::int32_t first) const;
    IconIndexes indexes() const;

    // Takes both files as one pair: the paths file first and, only when it
    // could be read, the image list file. A missing or unreadable file, or a
    // paths file naming an index the image list does not have, leaves the
    // catalog empty (class icons only). True when the pair was taken.
    bool load(const IconCacheFiles& files, IconCacheStorage& storage);

    // Writes the pair when something changed since it was last written or
    // read. The paths file goes first, so that no paths file is ever left
    // beside an image list it does not describe; it is written anew only
    // after the image list file was written whole, and stays deleted
    // otherwise. False when the pair could not be written.
    bool save(const IconCacheFiles& files, IconCacheStorage& storage);

private:
    mutable std::mutex mutex_;
    IconIndexes indexes_;
    std::vector<IconImage> images_; // list index classIconCount + position
    bool changed_ = true;           // since the files were last read or written
};

} // namespace kelvane
