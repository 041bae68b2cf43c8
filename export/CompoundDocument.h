#pragma once
// Writes one stream into a new compound document (OLE2 structured storage),
// replacing an existing file. Windows uses the platform's structured storage;
// the native tree has none and reports failure.
#include <cstdint>
#include <string>
#include <vector>

namespace kelvane {

bool writeCompoundDocument(const std::string& fileName, const std::string& streamName,
                           const std::vector<uint8_t>& content);

} // namespace kelvane
