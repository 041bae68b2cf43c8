#include "inventory/FileDetailsMap.h"

namespace kelvane {

FileDetails FileDetailsMap::find(const std::string& path) const {
    std::lock_guard<std::mutex> guard(mutex_);
    auto found = details_.find(path);
    return found == details_.end() ? FileDetails{} : found->second;
}

void FileDetailsMap::readOnce(const std::string& path, const Reader& read) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        if (details_[path].detailsRead) {
            return;
        }
    }
    FileDetails details;
    if (read) {
        details = read(path);
    }
    details.detailsRead = true;
    std::lock_guard<std::mutex> guard(mutex_);
    details_[path] = std::move(details);
}

std::size_t FileDetailsMap::size() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return details_.size();
}

void FileDetailsMap::clear() {
    std::lock_guard<std::mutex> guard(mutex_);
    details_.clear();
}

} // namespace kelvane
