#include "update/SetupSource.h"

#include "update/PadDescription.h"

#include <algorithm>
#include <cctype>

namespace kelvane {

namespace {

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// The platform reads these names as devices in any folder, whatever follows
// the first dot, and ignores blanks before that dot.
bool isDeviceName(std::string_view name) {
    std::string stem = lowerCase(name.substr(0, name.find('.')));
    stem.erase(stem.find_last_not_of(' ') + 1);
    if (stem == "con" || stem == "prn" || stem == "aux" || stem == "nul" || stem == "conin$" ||
        stem == "conout$") {
        return true;
    }
    // COM and LPT with a digit, also the superscript ones of the ANSI code page.
    return stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) &&
           (std::isdigit(static_cast<unsigned char>(stem[3])) ||
            std::string_view("\xB9\xB2\xB3").find(stem[3]) != std::string_view::npos);
}

bool isPlainFileName(std::string_view name) {
    // The platform drops trailing dots and blanks, so these would name the
    // folder itself or its parent.
    if (name.find_first_not_of(". ") == std::string_view::npos) {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 ||
               std::string_view("<>:\"\\/|?*").find(c) != std::string_view::npos;
    });
}

bool hasSetupExtension(std::string_view name) {
    size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) {
        return false;
    }
    std::string extension = lowerCase(name.substr(dot));
    return extension == ".exe" || extension == ".msi";
}

} // namespace

std::string setupFileNameFor(std::string_view address) {
    const std::string_view scheme = "https://";
    if (!isFollowableDownloadUrl(address) ||
        lowerCase(address.substr(0, scheme.size())) != scheme) {
        return {};
    }
    std::string_view rest = address.substr(scheme.size());
    rest = rest.substr(0, rest.find_first_of("?#"));
    if (rest.find('/') == std::string_view::npos) {
        return {};
    }
    std::string_view name = rest.substr(rest.rfind('/') + 1);
    if (!isPlainFileName(name) || isDeviceName(name) || !hasSetupExtension(name)) {
        return {};
    }
    return std::string(name);
}

} // namespace kelvane
