#include "shell/FileOps.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvane {

namespace {

class PosixFile : public OutputFile {
public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }

    bool write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const ssize_t done = ::write(fd_, bytes.data(), bytes.size());
            if (done < 0 && errno == EINTR) {
                continue;
            }
            if (done <= 0) {
                return false;
            }
            bytes.remove_prefix(static_cast<size_t>(done));
        }
        return true;
    }

    bool commit() override {
        const bool synced = ::fsync(fd_) == 0;
        const bool closed = ::close(fd_) == 0;
        fd_ = -1;
        return synced && closed;
    }

private:
    int fd_;
};

class PosixFileOps : public FileOps {
public:
    bool createFolder(const std::string& path) override {
        if (::mkdir(path.c_str(), 0777) == 0) {
            return true;
        }
        struct stat info;
        return errno == EEXIST && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }

    std::unique_ptr<OutputFile> createFile(const std::string& path) override {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0) {
            return nullptr;
        }
        return std::make_unique<PosixFile>(fd);
    }

    bool replaceFile(const std::string& from, const std::string& to) override {
        return std::rename(from.c_str(), to.c_str()) == 0;
    }

    void removeFile(const std::string& path) override { ::unlink(path.c_str()); }
};

} // namespace

FileOps& platformFileOps() {
    static PosixFileOps ops;
    return ops;
}

} // namespace kelvane
