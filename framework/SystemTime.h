#pragma once
// A calendar time in the field order of the platform's SYSTEMTIME, so portable
// code can carry times without the Win32 headers.
#include <cstdint>

namespace Plinth {

struct SystemTime {
    uint16_t year = 0;
    uint16_t month = 0;
    uint16_t dayOfWeek = 0;
    uint16_t day = 0;
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t milliseconds = 0;
};

} // namespace Plinth
