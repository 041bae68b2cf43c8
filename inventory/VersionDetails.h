#pragma once
// How the texts of FileDetails come out of a file's version resource. The
// platform reads the resource; the choice of values is made here.
#include "inventory/FileDetails.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kelvane {

// The queries made of one loaded version resource.
class VersionResource {
public:
    virtual ~VersionResource() = default;
    // The raw bytes at a value path ("\", "\VarFileInfo\Translation",
    // "\StringFileInfo\040904e4\CompanyName"); nothing when the query fails.
    virtual std::optional<std::string> query(const std::string& path) const = 0;
    // The display name of a language identifier; nothing when unknown. Both
    // may carry the terminating NUL and more: texts end at the first NUL.
    virtual std::optional<std::string> languageName(std::uint16_t language) const = 0;
};

// Fills version, language, manufacturer, description and comment. For each
// text the first translation that carries it wins; the search ends at the
// first translation after which manufacturer and description are known.
void readVersionDetails(const VersionResource& resource, FileDetails& details);

// "%d.%d.%d.%d" from the fixed file information, which must be complete
// (52 bytes); empty otherwise.
std::string fileVersionText(const std::string& fixedInfo);

} // namespace kelvane
