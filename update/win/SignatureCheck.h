#pragma once
// Whether a downloaded program carries a valid Authenticode signature. A
// setup fetched over plain HTTP is run as the administrator only when it
// does: otherwise anyone on the network could run code through us.
#include <string>

namespace kelvane {

bool hasValidSignature(const std::string& path);

} // namespace kelvane
