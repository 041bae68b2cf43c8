#pragma once
// "export=PATH": reads the services and drivers once and writes them to PATH
// with the change marks against the last run, without a window, so that a
// scheduled task can keep a daily inventory.
#include "inventory/win/ServiceRead.h"
#include "shell/AppConfig.h"

#include <string>

namespace kelvane {

// How long the export waits for a read that adds no service, before it
// gives up on the computer (see docs/shutdown.md).
constexpr unsigned long headlessReadStallMs = 30000;

// 0 when the file was written; 2 after a failure, whose text went to the
// console the program was started from. A read that fails or stalls leaves
// the settings file as it was. openManager: see ServiceReader.
int runHeadlessExport(AppConfig& config, const std::string& path,
                      const ManagerOpener& openManager = nullptr);

} // namespace kelvane
