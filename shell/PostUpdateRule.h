#pragma once
// Which files the post-update run may schedule for deletion. The hand-over
// file can be written by any program, so an elevated run deletes nothing but
// a setup the update download left in the temporary-files folder.
#include <string>

namespace kelvane {

// The first line of the hand-over file: up to the first CR or LF, at most
// 260 characters.
std::string handOverLine(const std::string& content);

// True when path names a file directly inside folder (a Windows path; letter
// case and the kind of slash do not matter).
bool liesDirectlyInFolder(const std::string& path, const std::string& folder);

// The download folder (without a trailing backslash) when path names a file
// directly inside a setup's download folder (see setupFolderPrefix) that
// lies directly in temporaryFolder; empty otherwise.
std::string setupDownloadFolderOf(const std::string& path, const std::string& temporaryFolder);

} // namespace kelvane
