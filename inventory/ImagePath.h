#pragma once
// The image file behind a service's configured command line. The command
// line may carry quotes, arguments, the "\??\" device prefix or a path
// relative to the Windows directory; the manager starts the first prefix
// that names a file, and so do we.
#include <optional>
#include <string>

namespace kelvane {

// The file system questions the resolution asks, so the rules run without
// one. The Win32 answer is in inventory/win/ImagePathSearch.h.
class PathProbe {
public:
    virtual ~PathProbe() = default;
    // The full path of the file the platform's default search finds for the
    // candidate (default extension ".exe"); nothing when none is found.
    virtual std::optional<std::string> search(const std::string& candidate) const = 0;
    // The path exists and is not a directory.
    virtual bool isFile(const std::string& path) const = 0;
};

// Only the first 1023 characters of a command line are looked at.
constexpr std::size_t maxCommandLineLength = 1023;

// The full path of the existing file the command line starts, or empty.
// Nothing is resolved for a remote computer. windowsDir is the local Windows
// directory in lower case, without a trailing backslash.
std::string resolveImagePath(const std::string& commandLine, bool isLocal,
                             const std::string& windowsDir, const PathProbe& probe);

} // namespace kelvane
