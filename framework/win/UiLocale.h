#pragma once
// The user-interface locale chosen at start-up. Every thread of the program
// applies it first, so texts it formats come in the chosen language.
#include <windows.h>

namespace Plinth {

struct UiLocaleChoice {
    LCID locale = 2057;
    const char* switchText = " -eng"; // passed on when the program relaunches itself
};

void setUiLocale(const UiLocaleChoice& choice);
const UiLocaleChoice& uiLocale();

// SetThreadUILanguage where the platform has it (NT 6 and later), else
// SetThreadLocale.
void applyUiLocaleToThread();

} // namespace Plinth
