// The native tree has no structured storage; its tests read the stream itself.
#include "export/CompoundDocument.h"

namespace kelvane {

bool writeCompoundDocument(const std::string&, const std::string&, const std::vector<uint8_t>&) {
    return false;
}

} // namespace kelvane
