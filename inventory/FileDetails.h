#pragma once
// What is known about one image file: its time and version resource texts.
#include <string>

namespace kelvane {

struct FileDetails {
    std::string fileTime; // "%02d.%02d.%04d %02d:%02d:%02d", empty if not known
    std::string version;  // "%d.%d.%d.%d"
    std::string language; // of the first translation of the version resource
    std::string manufacturer;
    std::string description;
    std::string comment;
    bool detailsRead = false;
};

} // namespace kelvane
