#pragma once
// Fetching and reading the maker's version description.
#include "update/PadDescription.h"

#include <string>

namespace kelvane {

// True when the description was fetched whole (at most maxDescriptionBytes)
// and parsed; raises LIE when the internet library fails.
bool readDescription(PadInfo& info, const std::string& address, const std::string& agent,
                     const std::string& systemText);

} // namespace kelvane
