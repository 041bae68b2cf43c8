#include "shell/FileOps.h"

#include "framework/win/UniqueHandle.h"

#include <windows.h>

#include <climits>

namespace kelvane {

namespace {

class Win32File : public OutputFile {
public:
    explicit Win32File(HANDLE handle) : handle_(handle) {}

    bool write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const DWORD size = bytes.size() > INT_MAX ? INT_MAX : static_cast<DWORD>(bytes.size());
            DWORD done = 0;
            if (!WriteFile(handle_.get(), bytes.data(), size, &done, nullptr) || done == 0) {
                return false;
            }
            bytes.remove_prefix(done);
        }
        return true;
    }

    bool commit() override {
        const bool flushed = FlushFileBuffers(handle_.get()) != 0;
        const bool closed = CloseHandle(handle_.release()) != 0;
        return flushed && closed;
    }

private:
    Plinth::UniqueFileHandle handle_;
};

class Win32FileOps : public FileOps {
public:
    bool createFolder(const std::string& path) override {
        if (CreateDirectoryA(path.c_str(), nullptr)) {
            return true;
        }
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    std::unique_ptr<OutputFile> createFile(const std::string& path) override {
        HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return nullptr;
        }
        return std::make_unique<Win32File>(handle);
    }

    bool replaceFile(const std::string& from, const std::string& to) override {
        return MoveFileExA(from.c_str(), to.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }

    void removeFile(const std::string& path) override { DeleteFileA(path.c_str()); }
};

} // namespace

FileOps& platformFileOps() {
    static Win32FileOps ops;
    return ops;
}

} // namespace kelvane
