#pragma once
// The names and texts that installing leaves behind, so that install, remove
// and uninstall agree on them and tests can check them without a registry.
#include <string>
#include <utility>
#include <vector>

namespace kelvane {

inline constexpr char productName[] = "Kelvane";
inline constexpr char helpFileName[] = "kelvane.chm";

// Under HKEY_LOCAL_MACHINE.
std::string uninstallKeyPath(const std::string& product);

// "DisplayName", "DisplayIcon" and "UninstallString", in that order. The
// program path is quoted wherever it starts a command line: unquoted, a path
// with blanks would start a program named after its first word.
std::vector<std::pair<std::string, std::string>> registrationValues(const std::string& product,
                                                                    const std::string& program);

// The command line that starts the tray instance.
std::string trayCommandLine(const std::string& program);

// folder + "\" + name, with one separator between them.
std::string pathInFolder(const std::string& folder, const std::string& name);
// folder + "\" + product + ".lnk".
std::string shortcutPath(const std::string& folder, const std::string& product);

// The drive and folder of a path, without a trailing separator except for a
// drive's root ("C:\").
std::string programFolder(const std::string& program);

} // namespace kelvane
