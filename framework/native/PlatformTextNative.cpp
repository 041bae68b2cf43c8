// The native tree knows no platform texts: every lookup falls back to the
// formatted code, which is what the tests of the fallbacks need.
#include "framework/PlatformText.h"
#include "framework/TextFormat.h"

namespace Plinth::platform {

std::optional<std::string> systemMessage(uint32_t) { return std::nullopt; }

std::optional<std::string> internetResponseText() { return std::nullopt; }

uint32_t lastError() { return 0; }

ModuleLookup frameworkModuleText(uint32_t) { return {}; }

std::string localeDate(const SystemTime& time) {
    return formatText("%04d-%02d-%02d", time.year, time.month, time.day);
}

} // namespace Plinth::platform
