#include "framework/win/UiLocale.h"

namespace Plinth {

namespace {

UiLocaleChoice chosenLocale;

using SetThreadUILanguageFn = LANGID(WINAPI*)(LANGID);

// Decided once, before start-up runs.
SetThreadUILanguageFn findSetThreadUILanguage() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_NT ||
        version.dwMajorVersion < 6) {
        return nullptr;
    }
#pragma GCC diagnostic pop
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? reinterpret_cast<SetThreadUILanguageFn>(
                        reinterpret_cast<void*>(GetProcAddress(kernel, "SetThreadUILanguage")))
                  : nullptr;
}

const SetThreadUILanguageFn setThreadUiLanguage = findSetThreadUILanguage();

} // namespace

void setUiLocale(const UiLocaleChoice& choice) { chosenLocale = choice; }

const UiLocaleChoice& uiLocale() { return chosenLocale; }

void applyUiLocaleToThread() {
    if (setThreadUiLanguage) {
        setThreadUiLanguage(LANGIDFROMLCID(chosenLocale.locale));
    } else {
        SetThreadLocale(chosenLocale.locale);
    }
}

} // namespace Plinth
