#pragma once
// A setup being downloaded, then held: written into its private folder, and
// from the end of the download until a process has been created from it
// kept open with writing and deleting shared with nobody, so the file that
// was checked is the file that runs. Unless it was started, the setup and
// its folder are deleted when the object goes.
#include "framework/win/UniqueHandle.h"

#include <windows.h>

#include <cstddef>
#include <string>

namespace kelvane {

class DownloadedSetup {
public:
    DownloadedSetup() = default; // nothing downloaded
    // Makes the file name in folder (a private folder that this object now
    // owns, with its trailing backslash) for the download.
    DownloadedSetup(std::string folder, const std::string& name);
    ~DownloadedSetup();
    DownloadedSetup(DownloadedSetup&& other) noexcept;
    DownloadedSetup& operator=(DownloadedSetup&& other) noexcept;
    DownloadedSetup(const DownloadedSetup&) = delete;
    DownloadedSetup& operator=(const DownloadedSetup&) = delete;

    // False when the file could not be made or a write failed.
    bool write(const char* data, std::size_t size);
    // The download is complete: from now on the file is only read. False
    // when it could not be held; the setup is then no good.
    bool hold();
    bool held() const { return held_; }

    const std::string& path() const { return path_; }
    HANDLE file() const { return file_.get(); }

    // Starts the held setup with the shell's "open" verb, owned by owner.
    // When it started, the file stays for the post-update run to delete.
    bool start(HWND owner);

private:
    void deleteUnlessStarted();

    std::string folder_, path_;
    Plinth::UniqueFileHandle file_;
    bool held_ = false;
    bool started_ = false;
};

} // namespace kelvane
