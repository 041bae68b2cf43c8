#pragma once
// The FileDetails of every image file met, by path. The icon updater's
// thread fills it, once per path; the window's thread reads copies for the
// list's file columns and the filter.
#include "inventory/FileDetails.h"

#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <string>

namespace kelvane {

class FileDetailsMap {
public:
    using Reader = std::function<FileDetails(const std::string& path)>;

    // A copy; empty texts and detailsRead false for a path not met or not
    // read yet.
    FileDetails find(const std::string& path) const;

    // Enters path empty the first time it is met. Unless its details were
    // read before, reads them with read, when one is given (the local
    // computer); the path counts as read in any case, so a remote computer's
    // path is never read later. The read runs outside the lock.
    void readOnce(const std::string& path, const Reader& read);

    std::size_t size() const;

    // Forgets every path, as when the list turns to another computer.
    void clear();

private:
    mutable std::mutex mutex_;
    std::map<std::string, FileDetails> details_;
};

} // namespace kelvane
