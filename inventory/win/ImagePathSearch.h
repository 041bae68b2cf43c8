#pragma once
// The image path rules over the local file system.
#include "inventory/ImagePath.h"

namespace kelvane {

// SearchPathA in the platform's default order, FindFirstFileA for the check.
class Win32PathProbe : public PathProbe {
public:
    std::optional<std::string> search(const std::string& candidate) const override;
    bool isFile(const std::string& path) const override;
};

std::string resolveImagePath(const std::string& commandLine, bool isLocal,
                             const std::string& windowsDir);

// The Windows directory in lower case, as the resolution expects it.
std::string lowerCaseWindowsDirectory();

} // namespace kelvane
