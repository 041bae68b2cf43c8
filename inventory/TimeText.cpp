#include "inventory/TimeText.h"

#include <cstdio>

namespace kelvane {

std::string formatTimeText(const Plinth::SystemTime& t) {
    char text[48]; // room for any 16-bit field values
    std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d:%02d", t.day, t.month, t.year,
                  t.hour, t.minute, t.second);
    return text;
}

} // namespace kelvane
