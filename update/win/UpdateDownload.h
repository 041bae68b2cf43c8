#pragma once
// Downloading a newer version's setup into the temporary folder and
// starting it, so the new version can replace the running one.
#include "framework/win/UniqueHandle.h"
#include "update/PadDescription.h"

#include <windows.h>

#include <cstddef>
#include <string>

namespace kelvane {

class UpdateChecker;

// Whatever the server claims, a setup larger than this is not taken, so a
// hostile server cannot fill the disk.
constexpr std::size_t maxSetupBytes = 256u * 1024 * 1024;

// Dialog 168: the address being fetched and a progress bar, centred over
// its owner (over the work area while the owner is hidden), shown and
// painted once; it dispatches nothing while the download runs.
class DownloadDialog {
public:
    DownloadDialog(HWND owner, const std::string& address);
    HWND window() const { return window_.get(); }
    HWND progressBar() const;

private:
    Plinth::UniqueWindow window_;
};

// The platform's temporary folder, with its trailing backslash.
std::string temporaryFolder();

// The file the next start with "-postupdate" reads: the temporary folder,
// the program's base name and ".tmp".
std::string handOverFilePath(const std::string& baseName);

// The local path of the downloaded setup; empty when the address has no
// usable file name (nothing is fetched then) or the download is incomplete.
// Raises LIE when the internet library fails.
std::string downloadSetup(const std::string& address, const std::string& agent, HWND progressBar);

// Downloads the setup that info names, writes the hand-over file and starts
// the setup when its signature is valid; the program then ends. Returns only
// when no setup was started (the user is told when it was not signed).
void downloadAndRunSetup(const UpdateChecker& checker, const PadInfo& info);

} // namespace kelvane
