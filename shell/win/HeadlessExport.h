#pragma once
// "export=PATH": reads the services and drivers once and writes them to PATH
// with the change marks against the last run, without a window, so that a
// scheduled task can keep a daily inventory.
#include "shell/AppConfig.h"

#include <string>

namespace kelvane {

// 0 when the file was written; 2 after a failure, whose text went to the
// console the program was started from.
int runHeadlessExport(AppConfig& config, const std::string& path);

} // namespace kelvane
