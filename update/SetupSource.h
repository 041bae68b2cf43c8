#pragma once
// Where a new version's setup may come from and the name it is stored under.
// The setup runs with our rights, often an administrator's: it is fetched
// only over https, and only under a plain .exe or .msi name that the
// platform cannot read as a device.
#include <string>
#include <string_view>

namespace kelvane {

// The download folder of a setup lies directly in the temporary folder and
// is named with this prefix and random hex digits.
constexpr char setupFolderPrefix[] = "kelvane-setup-";

// The local file name for the setup at this address: the last segment of its
// path, without query or fragment. Empty when the address is no https
// address with a host, or the name is empty, only dots, holds a character a
// file name cannot carry, names a device (NUL, CON, COM1, LPT1, ... with or
// without an extension) or ends in anything but ".exe" or ".msi".
std::string setupFileNameFor(std::string_view address);

} // namespace kelvane
