#pragma once
// The few file-system steps the settings file needs, behind one seam: the
// platform's own calls, or a test's stand-in that fails where it is told to.
#include <memory>
#include <string>
#include <string_view>

namespace kelvane {

class OutputFile {
public:
    virtual ~OutputFile() = default;
    virtual bool write(std::string_view bytes) = 0;
    // Flushes to the disk itself, not just to the system's cache, and closes.
    virtual bool commit() = 0;
};

class FileOps {
public:
    virtual ~FileOps() = default;
    // One folder level; true when the folder exists afterwards.
    virtual bool createFolder(const std::string& path) = 0;
    // A new or truncated file; nothing when it cannot be created.
    virtual std::unique_ptr<OutputFile> createFile(const std::string& path) = 0;
    // Puts from in the place of to in one step, replacing to if it exists.
    virtual bool replaceFile(const std::string& from, const std::string& to) = 0;
    virtual void removeFile(const std::string& path) = 0;
};

// The real file system.
FileOps& platformFileOps();

// Creates every missing level of folder ("/" and "\" both separate levels).
bool createFolderPath(const std::string& folder, FileOps& ops = platformFileOps());

// The folder part of a path: everything before its last "/" or "\".
std::string folderOf(const std::string& path);

// Writes bytes to path so that the old file stays whole until the new one is
// complete on disk: a temporary file beside it is written, committed and
// then moved over it. False, with path untouched, on any failure.
bool replaceFileContents(const std::string& path, std::string_view bytes,
                         FileOps& ops = platformFileOps());

} // namespace kelvane
