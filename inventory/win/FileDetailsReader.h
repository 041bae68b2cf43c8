#pragma once
// The details of a local image file: its version resource and its time.
#include "inventory/FileDetails.h"

#include <string>

namespace kelvane {

// Fills every field it can read and marks the details read; a missing
// resource or an unreadable file leaves its fields empty.
FileDetails readFileDetails(const std::string& path);

} // namespace kelvane
