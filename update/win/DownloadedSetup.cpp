#include "update/win/DownloadedSetup.h"

#include "framework/win/ShellOpen.h"

#include <utility>

namespace kelvane {

DownloadedSetup::DownloadedSetup(std::string folder, const std::string& name)
    : folder_(std::move(folder)), path_(folder_ + name) {
    // A new file only: a name that is there already is not ours.
    file_.reset(CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
}

DownloadedSetup::~DownloadedSetup() {
    deleteUnlessStarted();
}

DownloadedSetup::DownloadedSetup(DownloadedSetup&& other) noexcept
    : folder_(std::exchange(other.folder_, {})), path_(std::exchange(other.path_, {})),
      file_(std::move(other.file_)), held_(other.held_), started_(other.started_) {}

DownloadedSetup& DownloadedSetup::operator=(DownloadedSetup&& other) noexcept {
    if (this != &other) {
        deleteUnlessStarted();
        folder_ = std::exchange(other.folder_, {});
        path_ = std::exchange(other.path_, {});
        file_ = std::move(other.file_);
        held_ = other.held_;
        started_ = other.started_;
    }
    return *this;
}

bool DownloadedSetup::write(const char* data, std::size_t size) {
    DWORD written = 0;
    return file_ && !held_ &&
           WriteFile(file_.get(), data, static_cast<DWORD>(size), &written, nullptr) &&
           written == size;
}

bool DownloadedSetup::hold() {
    if (!file_ || held_) {
        return held_;
    }
    // A handle that may write would keep the system from starting the file,
    // so the writing one is swapped for one that only reads; both share
    // nothing but reading.
    file_.reset();
    file_.reset(CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    held_ = static_cast<bool>(file_);
    return held_;
}

bool DownloadedSetup::start(HWND owner) {
    if (!held_ || !Plinth::shellExecute(owner, path_)) {
        return false;
    }
    started_ = true;
    return true;
}

void DownloadedSetup::deleteUnlessStarted() {
    file_.reset();
    if (!started_ && !folder_.empty()) {
        DeleteFileA(path_.c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    folder_.clear();
    path_.clear();
}

} // namespace kelvane
