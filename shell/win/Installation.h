#pragma once
// Installing the program without a setup: the uninstall registration, a
// shortcut in the programs menu, one in the start-up folder that starts the
// tray instance, and their removal, down to deleting the program file at
// the next restart.
#include <windows.h>

#include <string>

namespace kelvane {

// Registers program under product (skipped without the rights to), makes
// both shortcuts and starts the tray instance with showCommand. Raises
// ComError when a shortcut can be saved in neither of its folders.
void install(const std::string& product, const std::string& program, int showCommand);

// Closes the running tray instances and deletes both shortcuts in the
// user's and the all-users folders and the registration; failures are
// ignored.
void removeInstalled(const std::string& product);

// After a Yes to its question: removes the installation and schedules the
// program file and its folder for deletion at the next restart; the help
// file beside the program goes at once. False when the answer was not Yes.
bool uninstall(const std::string& product, const std::string& program);

// A special folder (CSIDL_*) of the shell; empty when it has none.
std::string specialFolder(int folderId);

} // namespace kelvane
