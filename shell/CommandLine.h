#pragma once
// What the command line asks the program to do, read with the tokenizer.
#include "shell/AppConfig.h"

#include <string>

namespace kelvane {

enum class StartAction { MainWindow, Install, Remove, Uninstall, Tray, Export };

struct StartRequest {
    StartAction action = StartAction::MainWindow;
    // Filled with what the words before the action (or all words) set.
    AppConfig config;
    // Export: the file that "export=PATH" (or "-export=PATH") names. The
    // words after it still count, so the computer name may follow.
    std::string exportPath;
};

// Reads the words in order; install, remove, uninstall and tray take effect
// as they are met, and the first plain word (the computer name) ends reading.
StartRequest readCommandLine(const std::string& line);

// The switches found by plain substring search anywhere in the raw line.
bool hasPostUpdateSwitch(const std::string& line);

struct UiLanguage {
    unsigned primaryLanguage; // 7 German, 9 English, 29 Swedish
    unsigned locale;          // 1031, 2057 or 1053; also the resources' language id
    const char* switchText;   // " -ger", " -eng" or " -swe"
};

// The language of the user interface: "-ger", then "-eng", then "-swe" in
// the raw line force theirs; otherwise the thread locale's primary language.
UiLanguage selectUiLanguage(unsigned threadLocale, const std::string& line);

} // namespace kelvane
