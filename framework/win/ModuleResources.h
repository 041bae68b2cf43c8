#pragma once
// Resources in the language chosen at start-up. The platform's own lookup
// (LoadStringA, DialogBoxParamA) follows the thread's UI language, which not
// every system lets us set, so every lookup names the language explicitly.
#include <windows.h>

#include <string>

namespace Plinth {

void setResourceModule(HINSTANCE instance);
HINSTANCE resourceModule();

void setResourceLanguage(LANGID language);
LANGID resourceLanguage();

// The resource in the chosen language, else in English (United Kingdom), else
// in any language; null when there is none.
HRSRC findLocalisedResource(LPCSTR type, LPCSTR name);

// The raw bytes of a localised resource (dialog and menu templates); null
// when there is none. The memory lives as long as the module.
const void* loadLocalisedResource(LPCSTR type, LPCSTR name, DWORD* size = nullptr);

// String-table entry id in the chosen language, in the ANSI code page;
// empty when the entry does not exist.
std::string loadString(unsigned id);

} // namespace Plinth
