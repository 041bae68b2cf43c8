#pragma once
// Downloading a newer version's setup into a private folder under the
// temporary folder and starting it, so the new version can replace the
// running one.
#include "framework/win/UniqueHandle.h"
#include "update/PadDescription.h"
#include "update/win/DownloadedSetup.h"

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

// The setup at address, fetched into a new private folder under the
// temporary folder and held there (see DownloadedSetup). Nothing is fetched
// and nothing is made when the address is no https address with a setup's
// file name (see setupFileNameFor); an incomplete download, or one answered
// from anywhere but https, leaves nothing behind. Raises LIE when the
// internet library fails.
DownloadedSetup downloadSetup(const std::string& address, const std::string& agent,
                              HWND progressBar);

// Downloads the setup that info names and starts it when it is signed by one
// of the checker's publishers, writing the hand-over file for the clean-up
// just before. A refused setup is deleted, with its folder, and the user is
// told why. True when the setup started.
bool downloadAndStartSetup(const UpdateChecker& checker, const PadInfo& info);

// The same, ending the program once the setup has started: the setup
// replaces this program's file. Returns only when no setup was started.
void downloadAndRunSetup(const UpdateChecker& checker, const PadInfo& info);

} // namespace kelvane
