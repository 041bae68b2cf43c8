#pragma once
// The form in which the list shows registry key and file times.
#include "framework/SystemTime.h"

#include <string>

namespace kelvane {

// "%02d.%02d.%04d %02d:%02d:%02d": day, month, year, hour, minute, second of
// a time already converted to local time.
std::string formatTimeText(const Plinth::SystemTime& local);

} // namespace kelvane
