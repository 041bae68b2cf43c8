#pragma once
// The texts the exception family and the formatter take from the platform.
// win/ implements them with FormatMessageA, WinINet and GetDateFormatA; the
// native tree has stand-ins that know no texts.
#include "framework/SystemTime.h"

#include <cstdint>
#include <optional>
#include <string>

namespace Plinth::platform {

// The system message for a platform error code in the user's default
// language, without the trailing line break; nothing when there is none.
std::optional<std::string> systemMessage(uint32_t code);

// The server's last response text of the internet library on this thread.
std::optional<std::string> internetResponseText();

// The last platform error of the calling thread.
uint32_t lastError();

// Looking a code up in the framework message module "PlinthCORE".
struct ModuleLookup {
    bool moduleLoaded = false;
    std::optional<std::string> text;
};
ModuleLookup frameworkModuleText(uint32_t code);

// The date of a time in the user's default locale and its default date form.
std::string localeDate(const SystemTime& time);

} // namespace Plinth::platform
