#include "inventory/IconCatalog.h"

namespace kelvane {

std::int32_t IconCatalog::lookup(const std::string& path) {
    std::lock_guard<std::mutex> guard(mutex_);
    auto [found, inserted] = indexes_.emplace(path, -1);
    changed_ = changed_ || inserted;
    return found->second;
}

std::int32_t IconCatalog::append(const std::string& path, const IconImage& image) {
    std::lock_guard<std::mutex> guard(mutex_);
    images_.push_back(image);
    auto index = static_cast<std::int32_t>(classIconCount + images_.size() - 1);
    indexes_[path] = index;
    changed_ = true;
    return index;
}

std::int32_t IconCatalog::imageCount() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return static_cast<std::int32_t>(classIconCount + images_.size());
}

std::vector<IconImage> IconCatalog::imagesFrom(std::int32_t first) const {
    std::lock_guard<std::mutex> guard(mutex_);
    std::size_t skip =
        first <= classIconCount ? 0 : static_cast<std::size_t>(first - classIconCount);
    if (skip >= images_.size()) {
        return {};
    }
    return {images_.begin() + static_cast<std::ptrdiff_t>(skip), images_.end()};
}

IconIndexes IconCatalog::indexes() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return indexes_;
}

bool IconCatalog::load(const IconCacheFiles& files, IconCacheStorage& storage) {
    auto fresh = [this] {
        std::lock_guard<std::mutex> guard(mutex_);
        indexes_.clear();
        images_.clear();
        changed_ = true;
        return false;
    };
    if (files.imageList.empty()) {
        return fresh();
    }
    std::optional<std::string> pathsText = storage.readFile(files.imagePaths);
    if (!pathsText) {
        return fresh();
    }
    std::optional<std::string> imageBytes = storage.readFile(files.imageList);
    if (!imageBytes) {
        return fresh();
    }
    std::optional<std::vector<IconImage>> images = decodeIconImages(*imageBytes, classIconCount);
    if (!images) {
        return fresh();
    }
    IconIndexes indexes = parseImagePaths(*pathsText);
    auto end = static_cast<std::int64_t>(classIconCount + images->size());
    for (const auto& [path, index] : indexes) {
        // A class icon is never a file's icon: such an index, like one past
        // the end, means the two files do not belong together.
        if (index != -1 && (index < classIconCount || index >= end)) {
            return fresh();
        }
    }
    std::lock_guard<std::mutex> guard(mutex_);
    indexes_ = std::move(indexes);
    images_ = std::move(*images);
    changed_ = false;
    return true;
}

bool IconCatalog::save(const IconCacheFiles& files, IconCacheStorage& storage) {
    if (files.imageList.empty()) {
        return false;
    }
    std::string imageBytes, pathsText;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        if (!changed_) {
            return true;
        }
        imageBytes = encodeIconImages(classIconCount, images_);
        pathsText = writeImagePaths(indexes_);
        changed_ = false;
    }
    storage.removeFile(files.imagePaths);
    if (!storage.writeNewFile(files.imageList, imageBytes) ||
        !storage.writeNewFile(files.imagePaths, pathsText)) {
        storage.removeFile(files.imagePaths);
        std::lock_guard<std::mutex> guard(mutex_);
        changed_ = true; // the next pass tries again
        return false;
    }
    return true;
}

} // namespace kelvane
