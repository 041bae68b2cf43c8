#pragma once
// The one thing a run does after start-up, each built in its own place.
#include "inventory/win/ServiceRead.h"
#include "shell/AppConfig.h"

#include <windows.h>

namespace kelvane {

// The main window as a modal dialog; returns when it closes. With
// endsProgram the program's end begins as soon as the window has closed (no
// report box from then on), before its threads are joined. openManager: see
// MainWindow.
int runMainWindow(AppConfig& config, bool endsProgram, const ManagerOpener& openManager = nullptr);
// The notification-area icon, until its window closes; the loop's exit code.
// "&Show Kelvane" opens the main window on config.
int runTray(const AppConfig& config);
// Install, remove and uninstall this program file as "Kelvane"; each ends
// the run with 0 and reports its own failures.
int installProgram(int showCommand);
int removeInstallation();
int uninstallProgram();

} // namespace kelvane
